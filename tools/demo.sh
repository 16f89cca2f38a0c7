#!/usr/bin/env bash
# Installs what is missing, builds the native preset, writes the demo game folder into ./demo and
# converts its English save.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/setup.sh native
cmake --preset native
cmake --build --preset native

# Written afresh on every run, so the save is English again before it is converted.
build/native/bin/orvella-demo demo
echo "== The English save"
build/native/bin/orvella-demo show demo/Saves/Demo0001.ess
echo "== Converting it"
build/native/bin/orvella-cli convert --game demo Demo0001.ess
echo "== The Italian save"
build/native/bin/orvella-demo show demo/Saves/Demo0001.ess
