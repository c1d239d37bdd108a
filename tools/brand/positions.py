"""Where each key of a TOML file stands: tomllib keeps no positions, so a
small scanner walks the text the way TOML reads it (strings, comments, dotted
keys, inline tables, arrays of tables) and notes the line of every key and
table. Only a file tomllib has accepted is scanned."""
import re

BARE = re.compile(r"[A-Za-z0-9_\-]+")
SPACE = " \t"


class Scanner:
    def __init__(self, text):
        self.text = text
        self.at = 0
        self.places = {}  # key path -> line
        self.counts = {}  # array of tables path -> index of the last one

    # --- Positions -------------------------------------------------------------
    def line(self, at=None):
        return self.text.count("\n", 0, self.at if at is None else at) + 1

    def note(self, path, at):
        self.places.setdefault(path, self.line(at))

    # --- Characters ------------------------------------------------------------
    def peek(self, n=1):
        return self.text[self.at:self.at + n]

    def skip_space(self, newlines=False):
        while self.at < len(self.text):
            char = self.text[self.at]
            if char in SPACE or (newlines and char in "\r\n"):
                self.at += 1
            elif char == "#":
                end = self.text.find("\n", self.at)
                self.at = len(self.text) if end < 0 else end
            else:
                return

    def string(self):
        """Skips a string of any kind, returning its value for keys (basic
        escapes are not needed in key names here, so they are kept raw)."""
        for mark in ('"""', "'''"):
            if self.peek(3) == mark:
                end = self.text.find(mark, self.at + 3)
                while mark == '"""' and end > 0 and self._escaped(end):
                    end = self.text.find(mark, end + 1)
                end = len(self.text) if end < 0 else end + 3
                while self.text[end:end + 1] == mark[0]:  # up to two quotes may close it
                    end += 1
                value, self.at = self.text[self.at + 3:end - 3], end
                return value
        mark = self.peek()
        end = self.at + 1
        while end < len(self.text) and self.text[end] != mark:
            end += 2 if mark == '"' and self.text[end] == "\\" else 1
        value, self.at = self.text[self.at + 1:end], end + 1
        return value

    def _escaped(self, end):
        backslashes = 0
        while self.text[end - 1 - backslashes] == "\\":
            backslashes += 1
        return backslashes % 2 == 1

    def key(self):
        """A dotted key as a tuple of its parts."""
        parts = []
        while True:
            self.skip_space()
            if self.peek() in "\"'":
                parts.append(self.string())
            else:
                match = BARE.match(self.text, self.at)
                if not match:
                    return tuple(parts)
                parts.append(match.group())
                self.at = match.end()
            self.skip_space()
            if self.peek() != ".":
                return tuple(parts)
            self.at += 1

    # --- Values ----------------------------------------------------------------
    def value(self, path):
        self.skip_space()
        char = self.peek()
        if char in "\"'":
            self.string()
        elif char == "{":
            self.at += 1
            self.pairs(path, "}")
        elif char == "[":
            self.at += 1
            index = 0
            while True:
                self.skip_space(newlines=True)
                if self.peek() in ("]", ""):
                    self.at += 1
                    return
                self.value(path + (index,))
                self.skip_space(newlines=True)
                if self.peek() == ",":
                    self.at += 1
                    index += 1
        else:
            match = re.compile(r"[^,\]}\s#]+(?: [0-9:.+\-Z]+)?").match(self.text, self.at)
            self.at = match.end() if match else self.at + 1

    def pairs(self, path, closing):
        """key = value lines (closing "") or an inline table's pairs ("}")."""
        while self.at < len(self.text):
            self.skip_space(newlines=closing == "")
            if closing and self.peek() == closing:
                self.at += 1
                return
            if self.peek() in ("[", "") and not closing:
                return
            start = self.at
            key = self.key()
            if not key:  # not TOML tomllib accepted; stop rather than loop
                self.at = len(self.text)
                return
            for n in range(1, len(key) + 1):
                self.note(path + key[:n], start)
            self.skip_space()
            self.at += 1  # "="
            self.value(path + key)
            self.skip_space()
            if closing and self.peek() == ",":
                self.at += 1

    def document(self):
        path = ()
        while True:
            self.pairs(path, "")
            if self.at >= len(self.text):
                return self.places
            start = self.at
            double = self.peek(2) == "[["
            self.at += 2 if double else 1
            name = self.key()
            self.skip_space()
            self.at += 2 if double else 1
            for n in range(1, len(name)):  # a parent made implicitly stands at its first child
                self.note(self.resolve(name[:n]), start)
            if double:
                count = self.counts[name] = self.counts.get(name, -1) + 1
                # A new element forgets the positions of the last one's subtables.
                self.counts = {k: v for k, v in self.counts.items() if k[:len(name)] != name or k == name}
                self.note(self.resolve(name[:-1]) + (name[-1],), start)
                path = self.resolve(name[:-1]) + (name[-1], count)
            else:
                path = self.resolve(name)
            self.note(path, start)


    def resolve(self, name):
        """A header's dotted name as a path: each array of tables met on the way
        stands for its last element."""
        path: tuple = ()
        for n in range(1, len(name) + 1):
            path += (name[n - 1],)
            if name[:n] in self.counts:
                path += (self.counts[name[:n]],)
        return path


def key_lines(text):
    """{path: line}: a path is the tuple of keys (and array indices) that leads
    to a key or table, e.g. ("zone", 2, "rect") or ("about", "control", 0)."""
    return Scanner(text).document()


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1
