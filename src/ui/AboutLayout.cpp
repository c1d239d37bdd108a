#include "ui/AboutLayout.h"

#include "ui/Maker.h"
#include "weblinks/WebLinks.h"

namespace startboard {

namespace {

void Label5_Click(ShellServices& shell) { OpenMakerSite(shell); }
void Label6_Click(ShellServices& shell) { OpenProductSite(shell); }
void Label7_Click(ShellServices& shell) { MailSupport(shell); }

constexpr FontStyle kPlain{false, false};
constexpr FontStyle kUnderline{false, true};
constexpr FontStyle kBoldUnderline{true, true};

// Concatenated at compile time so the table stays constant data.
constexpr std::string_view kSupportLine = "Pay-per-Incident Technical Support: (900) 555-0147";
constexpr std::string_view kSalesLine = "Toll-Free Sales and Registration Info: (800) 555-0163";
static_assert(kSupportLine.ends_with(Maker::SupportPhone));
static_assert(kSalesLine.ends_with(Maker::SalesPhone));
static_assert(SupportMailUrl.substr(7) == SupportMailAddress);

using enum ControlKind;

}  // namespace

// One row per control, as laid out in the designer.
// clang-format off
const std::array<AboutControl, 12> kAboutControls{{
    {Picture, "Picture2", {3960, 3645, 2760, 1380}, {}, kWhite, 0, kPlain, Artwork::MakerLogo, {}, nullptr},
    {Picture, "Picture1", {1005, 240, 4590, 1950}, {}, kBlack, 0, kPlain, Artwork::ProductLogo, {}, nullptr},
    {Label, "Label8", {150, 5565, 2325, 255}, "Free e-mail technical support", kBlack, kWhite, kPlain, Artwork::None, {}, nullptr},
    {Label, "Label7", {150, 5805, 2205, 255}, SupportMailAddress, kBlack, kLightCyan, kUnderline, Artwork::None, "Send email to Norvane 98 Technical Support", Label7_Click},
    {Label, "Label6", {150, 5055, 2025, 255}, ProductSiteUrl, kBlack, kLightCyan, kUnderline, Artwork::None, "Visit the Norvane 98 Website", Label6_Click},
    {Label, "Label1", {150, 4815, 1830, 255}, "Visit us on the web", kBlack, kWhite, kPlain, Artwork::None, {}, nullptr},
    {Label, "Label5", {3990, 5355, 2595, 225}, Maker::Copyright, kWhite, kBlue, kBoldUnderline, Artwork::None, Maker::SiteTooltip, Label5_Click},
    {Label, "Label3", {4245, 5850, 2880, 255}, Maker::Town, kWhite, kBlack, kPlain, Artwork::None, {}, nullptr},
    {Label, "Label2", {4215, 5625, 2880, 255}, Maker::Street, kWhite, kBlack, kPlain, Artwork::None, {}, nullptr},
    {Oval, "Shape1", {2385, 2055, 9885, 9075}, {}, kWhite, 0, kPlain, Artwork::None, {}, nullptr},
    {Label, "Label9", {150, 3510, 2805, 510}, kSalesLine, kBlack, kWhite, kPlain, Artwork::None, {}, nullptr},
    {Label, "Label4", {150, 2880, 2685, 510}, kSupportLine, kBlack, kWhite, kPlain, Artwork::None, {}, nullptr},
}};
// clang-format on

const AboutControl* AboutControlAt(int x, int y, int dpi) {
  return FrontmostAt(std::span<const AboutControl>(kAboutControls), x, y, dpi);
}

void ShowAbout(ShellServices& shell) { shell.ShowModal(Form::About); }
void OpenMakerSite(ShellServices& shell) { OpenWebLink(shell, MakerSiteUrl); }
void OpenProductSite(ShellServices& shell) { OpenWebLink(shell, ProductSiteUrl); }
void MailSupport(ShellServices& shell) { OpenWebLink(shell, SupportMailUrl); }

}  // namespace startboard
