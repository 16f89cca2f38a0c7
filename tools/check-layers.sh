#!/usr/bin/env bash
# Checks that the product's layers import only downward. Each folder may include and link only what stands
# below it:
#
#   platform < game < records < scan < translate < job < app < win, cli < tools
#
# win and cli stand side by side on top of app; tools/ (the game builder, the demo, the literal journal,
# the benchmark) stands on everything but win. No file of the product or of tools/ includes anything from
# tests/, a file included without a folder must lie beside the file that includes it (so that no include
# path can bring in another layer's header unseen), <windows.h> is included only by *Win files, and a
# layer's library links only the libraries of the layers below it. Prints every breach and exits with 1
# when there is any; ctest runs it as the test "Layers".
#
#   bash tools/check-layers.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

layers=(platform game records scan translate job app win cli tools)
# The rank of each layer; win and cli share theirs, and neither may reach the other.
declare -A rank=([platform]=0 [game]=1 [records]=2 [scan]=3 [translate]=4 [job]=5 [app]=6 [win]=7 [cli]=7
                 [tools]=8)
# The folders of tools/, which its files name in their includes as a layer names itself.
toolFolders=" gamebuilder demo literaljournal bench "
# The library of each layer.
declare -A library=([platform]=orvella_platform [game]=orvella_game [records]=orvella_records
                    [scan]=orvella_scan [translate]=orvella_translate [job]=orvella_job [app]=orvella_app
                    [win]=orvella_win [cli]=orvella_cli)

breaches=0
breach() {
    echo "check-layers: $1"
    breaches=$((breaches + 1))
}

# May a file of layer `from` include or link layer `to`?
allowed() {
    local from=$1 to=$2
    [ "$from" = "$to" ] && return 0
    [ "$from" = tools ] && { [ "$to" != win ]; return; }
    [ "${rank[$to]}" -lt "${rank[$from]}" ]
}

for layer in "${layers[@]}"; do
    while IFS= read -r file; do
        folder=$(dirname "$file")
        while IFS= read -r line; do
            number=${line%%:*}
            text=${line#*:}
            if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<windows\.h\> ]]; then
                [[ $(basename "$file") == *Win.* ]] || breach "$file:$number includes <windows.h>, which only *Win files may"
                continue
            fi
            [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]] || continue
            included=${BASH_REMATCH[1]}
            case $included in
            */*)
                first=${included%%/*}
                if [ "$first" = tests ] || [ "$first" = .. ]; then
                    breach "$file:$number includes \"$included\", outside the product"
                elif [ -n "${rank[$first]+set}" ]; then
                    allowed "$layer" "$first" || breach "$file:$number: $layer includes \"$included\" of $first, which is not below it"
                elif [ "$layer" = tools ] && [[ $toolFolders == *" $first "* ]]; then
                    :
                else
                    breach "$file:$number includes \"$included\", which names no layer"
                fi
                ;;
            *)
                [ -f "$folder/$included" ] || breach "$file:$number includes \"$included\", which is not beside it"
                ;;
            esac
        done < <(grep -n '#[[:space:]]*include' "$file" || true)
    done < <(git ls-files "$layer/*.cpp" "$layer/*.h")
done

# The links: a layer's library names only the libraries of the layers below it, and no CMake file of the
# product or of tools/ takes a source from tests/.
for layer in "${layers[@]}"; do
    cmakeFile=$layer/CMakeLists.txt
    [ -f "$cmakeFile" ] || continue
    if grep -n 'tests/' "$cmakeFile" >/dev/null; then
        breach "$cmakeFile takes something from tests/"
    fi
    while IFS= read -r dependency; do
        to=
        for other in "${!library[@]}"; do
            [ "${library[$other]}" = "$dependency" ] && to=$other
        done
        [ -z "$to" ] && continue
        allowed "$layer" "$to" || breach "$cmakeFile links $dependency of $to, which is not below $layer"
    done < <(sed -n '/target_link_libraries(/,/)/p' "$cmakeFile" | grep -o 'orvella_[a-z_0-9]*' | sort -u)
done

if [ "$breaches" -gt 0 ]; then
    echo "check-layers: $breaches breaches of the layers"
    exit 1
fi
echo "check-layers: every include and link goes down"
