#!/usr/bin/env bash
# Runs the main job on the bundled demo company data, unattended.
set -euo pipefail
build=${1:-build}
echo "Built: $build/bin/taxbridge_plus, $build/bin/taxbridge_std, $build/bin/taxbridge_lotus"
"$build/bin/taxbridge_plus" --version
echo
echo "Not there yet: the demo company data and the run itself; this demo only builds the programs."
