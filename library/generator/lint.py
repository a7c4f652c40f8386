#!/usr/bin/env python3
"""Lints the generator with flake8, configured by [tool.flake8] in pyproject.toml.

    python3 library/generator/lint.py [FLAKE8]

Debian 12's flake8 reads its configuration only from setup.cfg, tox.ini or
.flake8; the project keeps it in pyproject.toml and passes it on here.
"""

from __future__ import annotations

import subprocess
import sys
import tomllib
from pathlib import Path


def options(config: dict[str, object]) -> list[str]:
    arguments = []
    for key, value in config.items():
        if isinstance(value, list):
            value = " ".join(str(item) for item in value)
        arguments.append(f"--{key}={value}")
    return arguments


def main(argv: list[str]) -> int:
    here = Path(__file__).resolve().parent
    flake8 = argv[1] if len(argv) > 1 else "flake8"
    with open(here / "pyproject.toml", "rb") as f:
        config = tomllib.load(f).get("tool", {}).get("flake8", {})
    command = [flake8, "--isolated", *options(config), "."]
    try:
        result = subprocess.run(command, cwd=here)
    except FileNotFoundError:
        print(f"error: {flake8} is missing; scripts/install-deps installs flake8", file=sys.stderr)
        return 1
    if result.returncode == 0:
        print(f"flake8 found nothing in {here}")
    return result.returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv))
