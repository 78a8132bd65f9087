#!/bin/sh
# The folder-order check fails on each kind of wrong include, and passes on a
# tree without one. Usage: catch.sh CHECK_SCRIPT
set -eu
check=${1:?usage: catch.sh CHECK_SCRIPT}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

fresh() {
    rm -rf "$tree/src"
    mkdir -p "$tree/src/core/pad" "$tree/src/ui/common" "$tree/src/ui/keys" "$tree/src/ui/windows" "$tree/src/ui/app"
    printf '#include "core/pad/padstate.h"\n#include <string>\n' >"$tree/src/core/pad/a.cpp"
    printf '#include "ui/common/qtext.h"\n#include <QWidget>\n' >"$tree/src/ui/keys/k.cpp"
    printf '#include "ui/windows/w.h"\n#include "ui/keys/k.h"\n' >"$tree/src/ui/app/a.cpp"
}

expect() { # expect PASS|FAIL what
    if "$check" "$tree/src" >"$tree/out" 2>&1; then got=PASS; else got=FAIL; fi
    if [ "$got" != "$1" ]; then
        echo "check-layers: $2: expected $1, got $got"; cat "$tree/out"; exit 1
    fi
}

fresh; expect PASS "a tree in order"
fresh; printf '#include "ui/common/qtext.h"\n' >>"$tree/src/core/pad/a.cpp"; expect FAIL "the core includes a widget header"
fresh; printf '#include <QString>\n' >>"$tree/src/core/pad/a.cpp"; expect FAIL "the core includes Qt"
fresh; printf '#include <QtCore/QObject>\n' >>"$tree/src/core/pad/a.cpp"; expect FAIL "the core includes Qt by module path"
fresh; printf '#include "ui/app/a.h"\n' >>"$tree/src/ui/keys/k.cpp"; expect FAIL "keys includes app"
fresh; printf '  #  include "ui/windows/w.h"\n' >"$tree/src/ui/common/c.h"; expect FAIL "common includes windows, spaced"
fresh; mkdir "$tree/src/ui/extra"; expect FAIL "a folder outside the order"
fresh; printf 'void f(PadState &state);\n' >"$tree/src/ui/keys/k.h"; expect FAIL "a mutable PadState outside the model"
fresh; printf 'PadState *g_pad = nullptr;\n' >>"$tree/src/ui/app/a.cpp"; expect FAIL "a mutable PadState pointer"
fresh; printf 'void f(const PadState &state);\nconst PadState *p;\n' >"$tree/src/ui/keys/k.h"; expect PASS "a const PadState"
fresh; mkdir -p "$tree/src/ui/common"; printf 'PadState &state();\n' >"$tree/src/ui/common/padmodel.h"; expect PASS "the model's own PadState"
fresh; printf '#include <X11/Xlib.h>\n' >"$tree/src/ui/keys/k.h"; expect FAIL "an X11 header outside ui/platform"
fresh; printf 'Display *d;\n' >"$tree/src/ui/windows/w.h"; expect FAIL "an X11 type outside ui/platform"
fresh; mkdir -p "$tree/src/ui/platform"; printf '#include <X11/Xlib.h>\nDisplay *d;\n' >"$tree/src/ui/platform/x.h"; expect PASS "X11 inside ui/platform"
fresh; printf 'unsigned long m_focusBefore = 0;\n' >"$tree/src/ui/windows/w.h"; expect FAIL "a window id as unsigned long"
fresh; printf 'void f(QWidget &w) { use(w.winId()); }\n' >>"$tree/src/ui/app/a.cpp"; expect FAIL "a window id taken from a widget"
fresh; printf 'WId id;\n' >"$tree/src/ui/keys/k.h"; expect FAIL "a WId outside ui/platform"
fresh; printf 'unsigned count;\nlong offset;\nvoid showWindow(QWidget &window);\n' >"$tree/src/ui/windows/w.h"; expect PASS "numbers, and a widget named window"
fresh; mkdir -p "$tree/src/ui/platform"; printf 'unsigned long focusedWindow();\nWId id;\n' >"$tree/src/ui/platform/x.h"; expect PASS "window ids inside ui/platform"
# A main window of n public declarations (one with an inline body, one over two
# lines, a signal), and as many private ones.
window() {
    {
        printf 'class TMainForm : public QMainWindow {\n    Q_OBJECT\npublic:\n    explicit TMainForm(QWidget *parent = nullptr);\n'
        printf '    int inlined() const { return 1; } // not; counted; twice\n    void twoLines(int a,\n                  int b);\n'
        k=4
        while [ $k -lt "$1" ]; do printf '    void f%s();\n' $k; k=$((k + 1)); done
        printf 'signals:\n    void changed();\nprivate:\n'
        k=0
        while [ $k -lt 30 ]; do printf '    void g%s() {}\n' $k; k=$((k + 1)); done
        printf '};\n'
    } >"$tree/src/ui/windows/tmainform.h"
}
fresh; window 25; expect PASS "a main window of 25 public declarations"
fresh; window 26; expect FAIL "a main window of 26 public declarations"
echo "check-layers catches every wrong include"
