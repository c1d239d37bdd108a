"""make edit: the brand designer, a page served on this computer alone.

    python3 -m tools.designer.server BRAND.toml [--port N]

It listens on 127.0.0.1 only, answers only requests that carry the token of
the address it prints and name this address as their Host (a web page
elsewhere cannot reach it, nor rebind a name to it), serves only the brand
folder's files, and writes only the brand file and pictures dropped in."""
import argparse
import hashlib
import hmac
import http.server
import json
import mimetypes
import os
import re
import secrets
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import tomllib
import urllib.parse

try:
    from . import checker_bridge as bridge
    from . import document
except ImportError as missing_module:
    sys.exit("make edit: Python lacks %s; install it: apt-get install python3-tomlkit python3-pil"
             % missing_module.name)

STATIC = os.path.join(os.path.dirname(os.path.abspath(__file__)), "static")
PICTURE = re.compile(r"[^./\\\x00-\x1f][^/\\\x00-\x1f]{0,120}\.(png|jpe?g|bmp)", re.IGNORECASE)
UPLOAD_MAX = 64 << 20


def digest(raw):
    return hashlib.sha256(raw).hexdigest()


class Designer:
    """The brand file as loaded, and what the page may do with it."""

    def __init__(self, path):
        self.path = os.path.abspath(path)
        self.folder = os.path.realpath(os.path.dirname(self.path))
        self.lock = threading.Lock()
        self.load()

    def load(self):
        with open(self.path, "rb") as f:
            raw = f.read()
        self.base, self.raw = digest(raw), raw
        try:
            self.text = raw.decode("utf-8")
        except UnicodeDecodeError:  # the checker says where; nothing to edit until fixed
            self.text = None

    def disk(self):
        try:
            with open(self.path, "rb") as f:
                return digest(f.read())
        except OSError:
            return None

    def state(self):
        with self.lock:
            self.load()
            try:
                data = tomllib.loads(self.text.lstrip("\ufeff"))
            except (tomllib.TOMLDecodeError, AttributeError):
                data = None
            out = {"base": self.base, "data": data, "name": os.path.basename(self.path),
                   "pictures": self.pictures(), "pages": bridge.pages()}
            out.update(bridge.key_list())
            out.update(self.messages(self.text) if data is not None else
                       {"messages": [{"line": line, "text": text, "error": error, "path": []}
                                     for line, text, error in bridge.check_text(self.path, self.raw)]})
            return out

    def pictures(self):
        found = []
        for root, dirs, files in os.walk(self.folder):
            dirs[:] = sorted(d for d in dirs if not d.startswith("."))
            found += [os.path.relpath(os.path.join(root, f), self.folder).replace(os.sep, "/")
                      for f in sorted(files) if PICTURE.fullmatch(f)]
        return found

    def messages(self, text):
        by_line = bridge.paths_by_line(text)
        found = [{"line": line, "text": message, "error": error, "path": list(by_line.get(line, ()))}
                 for line, message, error in bridge.check_text(self.path, text)]
        return {"messages": found, "ok": not any(m["error"] for m in found)}

    def edit(self, request, save):
        with self.lock:
            if request.get("base") != self.base:
                return 409, {"changed": True, "text": "the designer reloaded the file since this page read it"}
            if self.text is None:
                return 400, {"text": "the file is not UTF-8 text: fix it in an editor, then reload"}
            try:
                text = document.edited(self.text, request["data"])
            except (document.EditError, KeyError, TypeError, AttributeError, ValueError) as error:
                return 400, {"text": "cannot write this edit: %s" % error}
            out = self.messages(text)
            if not save:
                return 200, out
            if not out["ok"]:
                return 400, dict(out, text="the build refuses this brand; nothing was saved")
            if self.disk() != self.base:
                return 409, {"changed": True, "text": "%s changed on disk since it was loaded"
                             % os.path.basename(self.path)}
            self.write(os.path.realpath(self.path), text.encode("utf-8"))
            self.load()
            return 200, dict(out, base=self.base, saved=True)

    @staticmethod
    def write(target, raw):
        """Whole or not at all: a temporary file beside it, then renamed."""
        handle, temporary = tempfile.mkstemp(dir=os.path.dirname(target), prefix=".designer-")
        try:
            with os.fdopen(handle, "wb") as f:
                f.write(raw)
            shutil.copymode(target, temporary)
            os.replace(temporary, target)
        finally:
            if os.path.exists(temporary):
                os.remove(temporary)

    def inside(self, relative):
        """The file's real path if it lies in the brand folder, else None."""
        parts = relative.split("/")
        if (not relative or "\\" in relative or "\0" in relative or relative.startswith("/")
                or any(p in ("", ".", "..") for p in parts)):
            return None
        full = os.path.realpath(os.path.join(self.folder, relative))
        return full if full.startswith(self.folder + os.sep) and os.path.isfile(full) else None

    def add_picture(self, name, raw):
        if not PICTURE.fullmatch(name):
            return 403, {"text": "only a picture (.png, .jpg, .bmp) may be dropped into the brand's folder"}
        try:
            with open(os.path.join(self.folder, name), "xb") as f:
                f.write(raw)
        except FileExistsError:
            return 409, {"text": "%s is already in the brand's folder" % name}
        except OSError as error:  # no half picture left behind
            os.remove(os.path.join(self.folder, name))
            return 507, {"text": "cannot write %s: %s" % (name, error.strerror)}
        return 200, {"pictures": self.pictures()}


class Handler(http.server.BaseHTTPRequestHandler):
    designer = None
    token = ""
    hosts = ()

    def log_message(self, *args):
        pass

    def reply(self, status, body, kind="application/json"):
        if not isinstance(body, bytes):
            body = json.dumps(body).encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.send_header("X-Content-Type-Options", "nosniff")
        self.send_header("Referrer-Policy", "no-referrer")
        self.send_header("Content-Security-Policy", "default-src 'self'; img-src 'self' data:")
        self.end_headers()
        self.wfile.write(body)

    def route(self):
        """The path after the token, or None once refused."""
        if self.headers.get("Host") not in self.hosts:
            self.reply(421, {"text": "this designer answers only at %s" % self.hosts[0]})
            return None
        origin = self.headers.get("Origin")
        if origin and origin not in ("http://" + host for host in self.hosts):
            self.reply(403, {"text": "requests from other pages are refused"})
            return None
        path = self.path.split("?", 1)[0]
        prefix = "/%s/" % self.token
        if not hmac.compare_digest(path[:len(prefix)].encode(), prefix.encode()):
            self.reply(403, {"text": "open the address make edit printed, with its token"})
            return None
        return path[len(prefix):]

    def do_GET(self):
        path = self.route()
        if path is None:
            return
        if path in ("", "designer.js", "designer.css"):
            name = path or "index.html"
            with open(os.path.join(STATIC, name), "rb") as f:
                return self.reply(200, f.read(), mimetypes.guess_type(name)[0] + "; charset=utf-8")
        if path == "api/state":
            try:
                return self.reply(200, self.designer.state())
            except OSError as error:  # moved or deleted meanwhile
                return self.reply(404, {"text": "cannot read %s: %s" % (self.designer.path, error.strerror)})
        if path == "api/disk":
            return self.reply(200, {"disk": self.designer.disk()})
        if path.startswith("file/"):
            full = self.designer.inside(urllib.parse.unquote(path[5:]))
            if full is None:
                return self.reply(404, {"text": "no such file in the brand's folder"})
            with open(full, "rb") as f:
                return self.reply(200, f.read(), mimetypes.guess_type(full)[0] or "application/octet-stream")
        self.reply(404, {"text": "not found"})

    def do_POST(self):
        path = self.route()
        if path is None:
            return
        length = int(self.headers.get("Content-Length") or 0)
        if not 0 < length <= UPLOAD_MAX:
            return self.reply(413, {"text": "too large"})
        raw = self.rfile.read(length)
        if path in ("api/check", "api/save"):
            try:
                request = json.loads(raw)
            except ValueError:
                return self.reply(400, {"text": "not JSON"})
            return self.reply(*self.designer.edit(request, path == "api/save"))
        if path == "api/toml":
            return self.reply(*toml_value(raw))
        if path == "api/picture":
            query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
            return self.reply(*self.designer.add_picture(query.get("name", [""])[0], raw))
        self.reply(403, {"text": "the designer writes only the brand file and pictures dropped in"})


def toml_value(raw):
    """A condition typed as TOML, `{ architecture = ["x64"] }`, read by the
    same reader as the build's, for the page to hold as JSON."""
    try:
        text = json.loads(raw)["text"]
        value = tomllib.loads("value = " + text)["value"]
        if "\n" in text.strip() or not isinstance(value, dict):
            raise ValueError("write one table in braces, such as { architecture = [\"x64\"] }")
        json.dumps(value)  # a date has no place in a condition
    except (ValueError, TypeError, KeyError) as error:
        return 400, {"text": str(error)}
    return 200, {"value": value}


def main(argv):
    parser = argparse.ArgumentParser(prog="make edit", description=__doc__.strip().split("\n")[0])
    parser.add_argument("brand")
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args(argv)
    # Ctrl+C stops it even when started from a shell that ignores it (in the background).
    signal.signal(signal.SIGINT, signal.default_int_handler)
    if not os.path.isfile(args.brand):
        sys.exit("%s:1: no brand file here" % args.brand)
    Handler.designer = Designer(args.brand)
    Handler.token = secrets.token_urlsafe(24)
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    except OSError as error:
        sys.exit("make edit: cannot listen on port %d (%s); choose another with PORT=, or none for a free one"
                 % (args.port, error.strerror))
    server.daemon_threads = True
    port = server.server_address[1]
    Handler.hosts = ("127.0.0.1:%d" % port, "localhost:%d" % port)
    address = "http://127.0.0.1:%d/%s/" % (port, Handler.token)
    print("The designer of %s: open %s\n(Ctrl+C stops it)" % (args.brand, address), flush=True)
    if os.environ.get("DISPLAY") and shutil.which("xdg-open"):
        subprocess.Popen(["xdg-open", address], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        print("\nThe designer stopped.")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
