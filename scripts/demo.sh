#!/usr/bin/env bash
# Builds the plug-ins and objseq, then exports the built-in demo scene into ./out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake --preset default
cmake --build --preset default --target objseq QuorOBJExport_R12 QuorOBJExport_R11_5
./build/default/bin/objseq demo out
