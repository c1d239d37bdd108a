"""Language tags as a brand names them (en, de, pt-BR) and the Windows
language ids the launcher matches them with at run time. Python's own table
of Windows locales is the list of known tags."""
import difflib
import locale
import re

# Written right to left: the launcher lays out left to right only.
RIGHT_TO_LEFT = {"ar", "he", "fa", "ur", "yi", "ps", "syr", "ug", "div"}

KNOWN = {name.replace("_", "-"): lcid for lcid, name in locale.windows_locale.items()
         if re.fullmatch(r"[a-z]{2,3}_[A-Z]{2}", name)}
PRIMARY = {tag.split("-")[0]: lcid & 0x3FF for tag, lcid in KNOWN.items()}
SUBLANG_DEFAULT = 0x400


def canonical(tag):
    """The tag's usual spelling (language in lower case, country in upper), or
    None when it is not a known one."""
    parts = tag.split("-")
    if len(parts) > 2 or not all(parts):
        return None
    spelled = "-".join([parts[0].lower()] + [p.upper() for p in parts[1:]])
    return spelled if spelled in KNOWN or spelled in PRIMARY else None


def nearest(tag):
    primary = tag.split("-")[0].lower()
    if primary in PRIMARY:
        return primary
    close = difflib.get_close_matches(tag.lower(), [t.lower() for t in list(PRIMARY) + list(KNOWN)], n=1,
                                      cutoff=0.5)
    return canonical(close[0].replace("_", "-")) if close else None


def right_to_left(tag):
    return tag.split("-")[0].lower() in RIGHT_TO_LEFT


def ids(tag):
    """(the id the launcher matches, the version block's language) of a known
    tag. A tag without a country matches every country of its language (its
    id is the primary language's alone); its version block takes the
    language's usual country."""
    if tag in KNOWN:
        return KNOWN[tag], KNOWN[tag]
    primary = PRIMARY[tag]
    countries = sorted(lcid for known, lcid in KNOWN.items() if known.split("-")[0] == tag)
    usual = primary | SUBLANG_DEFAULT
    return primary, usual if usual in countries else countries[0]
