#!/usr/bin/env python3
"""Writes the readable sources of the template library.

    python3 library/generator/generate.py [library/sources]

The generator itself is the package quillery_generator beside this script.
"""

import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)

from quillery_generator.sources import main  # noqa: E402

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:] or [os.path.join(here, "..", "sources")]))
