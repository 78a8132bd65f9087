#!/bin/sh
# Checks the order of the source folders: the core includes nothing of the
# widgets and no Qt, and a widget folder includes only from the folders before
# it (common < keys < platform < dialogs < windows < app). Besides, only the
# pad's model (ui/common/padmodel.*) names a mutable PadState, no header
# outside ui/platform names an X11 or XCB type, and the main window
# (ui/windows/tmainform.h) declares at most 25 public members. Prints each
# fault and exits 1 when there is one.
# Usage: check-layers.sh SRC_DIR
set -eu
src=${1:?usage: check-layers.sh SRC_DIR}
[ -d "$src/core" ] && [ -d "$src/ui" ] || { echo "check-layers: $src holds no core/ and ui/" >&2; exit 2; }
rooms="common keys platform dialogs windows app"

rank() {
    n=0
    for room in $rooms; do
        [ "$room" = "$1" ] && { echo $n; return; }
        n=$((n + 1))
    done
    echo 99
}

bad=0
complain() { echo "$1: $2"; bad=1; }

for file in $(find "$src/core" -name '*.h' -o -name '*.cpp' | sort); do
    grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*("ui/|<Q[A-Za-z]*(/|>)|<qt)' "$file" \
        | while IFS= read -r line; do echo "${file#$src/}:$line: the core includes the widgets or Qt"; done
done | grep . && bad=1

for room in $rooms; do
    [ -d "$src/ui/$room" ] || continue
    own=$(rank "$room")
    for file in $(find "$src/ui/$room" -name '*.h' -o -name '*.cpp' | sort); do
        for used in $(sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"ui/\([^/"]*\)/.*|\1|p' "$file" | sort -u); do
            if [ "$(rank "$used")" -gt "$own" ]; then
                complain "${file#$src/}" "ui/$room includes ui/$used, which comes after it"
            fi
        done
    done
done
# A mutable PadState: "PadState &" or "PadState *" without "const" before it.
for file in $(find "$src/ui" -name '*.h' -o -name '*.cpp' | sort); do
    case "${file#$src/}" in ui/common/padmodel.*) continue ;; esac
    grep -nE '(^|[^A-Za-z0-9_])PadState[[:space:]]*[&*]' "$file" | grep -vE 'const[[:space:]]+PadState[[:space:]]*[&*]' \
        | while IFS= read -r line; do echo "${file#$src/}:$line: only the pad's model changes the PadState"; done
done | grep . && bad=1

for file in $(find "$src" -name '*.h' | sort); do
    case "${file#$src/}" in ui/platform/*) continue ;; esac
    grep -nE '<X11/|<xcb/|(^|[^A-Za-z0-9_])((XID|Atom|XEvent)([^A-Za-z0-9_]|$)|Display[[:space:]]*\*)|xcb_[a-z_]+_t' "$file" \
        | while IFS= read -r line; do echo "${file#$src/}:$line: an X11 type outside ui/platform"; done
done | grep . && bad=1

# TMainForm's own public members (signals and public slots too): each ';' at
# the class's own level and each inline body closed there is one declaration.
window="$src/ui/windows/tmainform.h"
if [ -f "$window" ]; then
    declared=$(sed 's|//.*||' "$window" | awk '
        !inside && /(class|struct)[[:space:]]+TMainForm([[:space:]]|:|$)/ && !/;[[:space:]]*$/ { inside = 1; depth = 0; open = 0 }
        inside {
            if ($0 ~ /^[[:space:]]*(public|public[[:space:]]+slots|Q_SLOTS|signals|Q_SIGNALS)[[:space:]]*:/) { open = 1; next }
            if ($0 ~ /^[[:space:]]*(private|protected)([[:space:]]+slots)?[[:space:]]*:/) { open = 0; next }
            for (i = 1; i <= length($0); i++) {
                c = substr($0, i, 1)
                if (c == "{") depth++
                else if (c == "}") { depth--; if (depth == 1 && open) n++; if (depth == 0) { inside = 0; break } }
                else if (c == ";" && depth == 1 && open) n++
            }
        }
        END { print n + 0 }')
    [ "$declared" -le 25 ] || complain "ui/windows/tmainform.h" "TMainForm declares $declared public members, more than 25"
fi

for folder in "$src"/ui/*/; do
    name=$(basename "$folder")
    [ "$(rank "$name")" = 99 ] && complain "ui/$name" "a folder outside the order ($rooms)"
done
# A raw window id stays in ui/platform too: Qt's WId or winId(), or an
# unsigned long, the type of Xlib's ids, which the widgets have no other use
# for. The rest of the program holds a TargetWindow or the QWidget itself.
for file in $(find "$src/ui" -name '*.h' -o -name '*.cpp' | sort); do
    case "${file#$src/}" in ui/platform/*) continue ;; esac
    grep -nE '(^|[^A-Za-z0-9_])(WId|winId|unsigned[[:space:]]+long)([^A-Za-z0-9_]|$)' "$file" \
        | while IFS= read -r line; do echo "${file#$src/}:$line: a raw window id outside ui/platform"; done
done | grep . && bad=1
exit $bad
