"""The project's tools, one package: run each from the repository's root, python3 -m tools.brand ..."""
