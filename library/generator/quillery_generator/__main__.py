import sys

from .sources import main

sys.exit(main(sys.argv[1:]))
