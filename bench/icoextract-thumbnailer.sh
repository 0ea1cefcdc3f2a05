#!/usr/bin/env bash
# icoextract's exe-thumbnailer (Debian icoextract, Pillow from python3-pil):
# Debian ships the module, not its entry point.
exec /usr/bin/python3 -c 'import sys; from icoextract.scripts.thumbnailer import main; sys.exit(main())' "$@"
