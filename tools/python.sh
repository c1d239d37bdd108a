# Sourced by the tools' wrappers one folder below tools/: the folders the
# Python tools import each other from, named once (pytest.ini names them for
# the tests).
tools_dir=$(cd "$(dirname "$0")/.." && pwd)
export PYTHONPATH="$tools_dir/brand:$tools_dir/cd:$tools_dir/wine${PYTHONPATH:+:$PYTHONPATH}"
