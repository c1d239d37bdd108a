"""How an About label's text lays out: the font the preview draws it in
(condensed, near the width of the dialog font the window uses), its line
height and its word wrap. The check measures a language's texts with it and
the preview draws them with it, so both see the same lines."""
from PIL import ImageFont

FONTS = "/usr/share/fonts/truetype/dejavu/"
LABEL = ImageFont.truetype(FONTS + "DejaVuSansCondensed.ttf", 11)
LABEL_BOLD = ImageFont.truetype(FONTS + "DejaVuSansCondensed-Bold.ttf", 11)
LABEL_LINE = 13  # pixels between the lines of an About label


def wrap(text, font, width):
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


def font_of(control):
    return LABEL_BOLD if control.get("bold") else LABEL


def lines_needed(control, text):
    return len(wrap(text, font_of(control), control["rect"][2]))


def lines_held(control):
    return max(1, control["rect"][3] // LABEL_LINE)
