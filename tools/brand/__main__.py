"""python3 -m tools.brand generate|check|get|keys ...: see cli.py."""
import sys

try:
    from .cli import main
except ImportError as missing_module:  # a publisher's machine without Pillow
    sys.exit("tools.brand: Python lacks %s; install it: apt-get install python3-pil" % missing_module.name)

sys.exit(main(sys.argv[1:]))
