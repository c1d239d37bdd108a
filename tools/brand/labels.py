"""How an About label's text lays out: the font the preview draws it in
(condensed, near the width of the dialog font the window uses), its line
height and its word wrap. The check measures a language's texts with it and
the preview draws them with it, so both see the same lines."""
from PIL import ImageFont

FONTS = "/usr/share/fonts/truetype/dejavu/"
LABEL = ImageFont.truetype(FONTS + "DejaVuSansCondensed.ttf", 11)
LABEL_BOLD = ImageFont.truetype(FONTS + "DejaVuSansCondensed-Bold.ttf", 11)
LABEL_LINE = 13  # pixels between the lines of an About label


def wrap(text: str, font: ImageFont.FreeTypeFont, width: int) -> list[str]:
    """Greedy word wrap; a word longer than the width keeps a line to itself."""
    lines = []
    for paragraph in text.replace("\r\n", "\n").split("\n"):
        line = ""
        for word in paragraph.split(" "):
            trial = word if not line else line + " " + word
            if line and font.getlength(trial) > width:
                lines.append(line)
                line = word
            else:
                line = trial
        lines.append(line)
    return lines


def font_of(bold: bool) -> ImageFont.FreeTypeFont:
    return LABEL_BOLD if bold else LABEL


def lines_needed(text: str, bold: bool, width: int) -> int:
    return len(wrap(text, font_of(bold), width))


def lines_held(height: int) -> int:
    return max(1, height // LABEL_LINE)
