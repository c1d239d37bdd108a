#include "ui/MainLayout.h"

#include "launch/Commands.h"
#include "ui/AboutLayout.h"

namespace startboard {

namespace {
void Label2_Click(ShellServices& shell) { ViewManual(shell); }
void Label4_Click(ShellServices& shell) { ShowAbout(shell); }
void Label5_Click(ShellServices& shell) { InstallReader(shell); }
void Label6_Click(ShellServices& shell) { QuitLauncher(shell); }
void Label7_Click(ShellServices& shell) { InstallProduct(shell); }
}  // namespace

const std::array<HotZone, 5> kHotZones{{
    {"Label7", {2745, 5295, 5115, 2820}, "About/Install the standalone package", Label7_Click},
    {"Label6", {8400, 5070, 2430, 3045}, "Quit the Startboard", Label6_Click},
    {"Label5", {60, 5280, 2235, 2835}, "Install Adobe Acrobat Reader 3.01", Label5_Click},
    {"Label4", {930, 2640, 9150, 2580}, "Find out about Norvane 98", Label4_Click},
    {"Label2", {3510, 45, 3885, 2295}, "View the User Manual", Label2_Click},
}};

const HotZone* HotZoneAt(int x, int y, int dpi) {
  return FrontmostAt(std::span<const HotZone>(kHotZones), x, y, dpi);
}

}  // namespace startboard
