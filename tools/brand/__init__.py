"""A launcher's brand file: read, checked and turned into the program's tables.

parse (the TOML, its syntax in a publisher's words) -> check (each table,
its values, pictures and languages, into model's dataclasses) -> emit (the
C++ tables, resource script and manifest) -> cli. A mistake stops it with
"FILE:LINE: what is wrong and what is allowed", one line each, and nothing
written. Everything is checked here, at build time: the program reads no
configuration when it runs.

The tools run from the repository's root as modules: python3 -m tools.brand,
python3 -m tools.brand.preview, python3 -m tools.sample_disc.make_disc."""
from .check import load
from .findings import BrandError
from .model import Brand

__all__ = ["Brand", "BrandError", "load"]
