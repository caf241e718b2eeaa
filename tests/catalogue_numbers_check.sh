#!/usr/bin/env bash
# Fails when code outside the catalogue (engine/Catalogue.h, engine/Catalogue.cpp) names a fractal type
# by its number: the rest of the program asks the catalogue's traits or names an engine::TypeId
# enumerator. Looked at, in engine/, colour/, document/, storage/, cli/, ui/ and bench/ (comments and string
# literals left out):
#   - a type compared with a number:   type == 13, p.FractalType != 6, 9 == type, int(type) < 5
#   - a type looked up in a number set: typeIn(type, {0, 3, 6})
#   - a number made into a type:       TypeId(13), TypeId{6}, static_cast<TypeId>(7)
#   - "case 13:" directly inside a switch on a type: switch (type), switch (p.FractalType), switch (int(type))
# A "type" is an identifier spelt type, Type, FractalType, fractalType or typeIndex (so BoundaryType,
# e.type() and the like are not). The tests are not looked at: their tables give types by their numbers
# in documents and on the command line.
#
# Usage: catalogue_numbers_check.sh [SOURCE_ROOT]     check the sources (default: this script's ../)
#        catalogue_numbers_check.sh --self-test        check the checker on lines it must and must not flag
set -euo pipefail

scan() {
    # Prints file:line: text for every finding under the directories given; exit status 1 when any.
    local root=$1
    shift
    local files=()
    local dir
    for dir in "$@"; do
        [ -d "$root/$dir" ] || continue
        while IFS= read -r -d '' f; do
            case "$f" in
            */engine/Catalogue.h | */engine/Catalogue.cpp) continue ;;
            esac
            files+=("$f")
        done < <(find "$root/$dir" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.inl' \) -print0 | sort -z)
    done
    [ ${#files[@]} -gt 0 ] || { echo "catalogue_numbers_check: no sources under $root" >&2; return 2; }

    awk -v apostrophe="'" '
    function stripLine(s,    out, i, c, n) {
        # Removes comments (carrying /* */ over lines in inBlock), string and character literals.
        out = ""; n = length(s); i = 1
        while (i <= n) {
            c = substr(s, i, 1)
            if (inBlock) {
                if (substr(s, i, 2) == "*/") { inBlock = 0; i += 2 } else i++
                continue
            }
            if (substr(s, i, 2) == "//") break
            if (substr(s, i, 2) == "/*") { inBlock = 1; i += 2; continue }
            if (c == "\"" || c == apostrophe) {
                q = c; i++
                while (i <= n && substr(s, i, 1) != q) { if (substr(s, i, 1) == "\\") i++; i++ }
                i++; out = out q q; continue
            }
            out = out c; i++
        }
        return out
    }
    function report(why) {
        if ((FILENAME, FNR, why) in seen) return
        seen[FILENAME, FNR, why] = 1
        printf "%s:%d: %s: %s\n", FILENAME, FNR, why, raw
        found++
    }
    BEGIN {
        W = "(FractalType|fractalType|type|Type|typeIndex)"
        ID = "[A-Za-z0-9_]"
        OP = "(==|!=|<=|>=|<|>)"
        # A type word that is a whole identifier and not a call: (^|non-identifier) WORD (non-identifier-non-paren|$)
        compareRight = "(^|[^A-Za-z0-9_])" W "[ \t]*\\)?[ \t]*" OP "[ \t]*[0-9]"
        compareLeft = "(^|[^A-Za-z0-9_.])[0-9][0-9.]*[ \t]*" OP "[ \t]*\\(?[ \t]*([A-Za-z_][A-Za-z0-9_]*(\\.|->|::))*" W "([^A-Za-z0-9_(]|$)"
        numberSet = "(^|[^A-Za-z0-9_])" W "[ \t]*,[ \t]*\\{[ \t]*[0-9]"
        numberToType = "(^|[^A-Za-z0-9_])TypeId[ \t]*[({][ \t]*[0-9]|static_cast[ \t]*<[ \t]*([A-Za-z_]+::)*TypeId[ \t]*>[ \t]*\\([ \t]*[0-9]"
        switchOperand = "^[ \t]*((int|unsigned|uint8_t|size_t|static_cast[ \t]*<[^>]*>)[ \t]*\\([ \t]*)?([A-Za-z_][A-Za-z0-9_]*(\\.|->))*" W "[ \t]*\\)?[ \t]*$"
    }
    FNR == 1 { inBlock = 0; depth = 0; sw = 0 }
    {
        raw = $0
        line = stripLine($0)
        if (line ~ compareRight || line ~ compareLeft) report("a type compared with a number")
        if (line ~ numberSet) report("a type looked up in a set of numbers")
        if (line ~ numberToType) report("a number made into a TypeId")

        # Walk the line for switch statements, braces and case labels, in order.
        n = length(line); i = 1
        while (i <= n) {
            rest = substr(line, i)
            prev = i > 1 ? substr(line, i - 1, 1) : " "
            if (prev !~ ID && match(rest, /^switch[ \t]*\(/)) {
                # The operand runs to the parenthesis that closes the one after "switch".
                j = RLENGTH + 1; level = 1; operand = ""
                while (j <= length(rest) && level > 0) {
                    ch = substr(rest, j, 1)
                    if (ch == "(") level++
                    else if (ch == ")") { level--; if (level == 0) break }
                    operand = operand ch; j++
                }
                sw++; swDepth[sw] = depth; swOpen[sw] = 0; swType[sw] = (operand ~ switchOperand)
                i += j; continue
            }
            ch = substr(line, i, 1)
            if (ch == "{") {
                depth++
                if (sw > 0 && !swOpen[sw] && depth == swDepth[sw] + 1) swOpen[sw] = 1
            } else if (ch == "}") {
                depth--
                while (sw > 0 && swOpen[sw] && depth <= swDepth[sw]) sw--
            } else if (prev !~ ID && match(rest, /^case[ \t]+[0-9]/)) {
                if (sw > 0 && swOpen[sw] && swType[sw]) report("case with a number in a switch on a type")
                i += RLENGTH; continue
            }
            i++
        }
    }
    END { exit found > 0 ? 1 : 0 }
    ' "${files[@]}"
}

selfTest() {
    local dir
    dir=$(mktemp -d)
    trap 'rm -rf "$dir"' RETURN
    mkdir -p "$dir/engine" "$dir/ui"
    # Every line marked BAD must be reported, no other line.
    cat >"$dir/engine/Bad.cpp" <<'EOF'
bool a(int type) { return type == 13; } // BAD
bool b(const P& p) { return p.FractalType != 6; } // BAD
bool c(int type) { return 9 == type; } // BAD
bool d(TypeId type) { return int(type) < 5; } // BAD
bool e(const S& s) { return s.fractalType >= 11; } // BAD
bool f(int type) { return typeIn(type, {0, 3, 6}); } // BAD
TypeId g() { return TypeId(13); } // BAD
TypeId h() { return engine::TypeId{6}; } // BAD
TypeId i() { return static_cast<engine::TypeId>(7); } // BAD
int j(int type)
{
    switch (type) {
    case 0: return 1; // BAD
    case 13: // BAD
        return 2;
    default: return 3;
    }
}
int k(const P& p)
{
    switch (int(p.FractalType)) {
    case TypeId::Newton: return 0;
    case 7: return 1; // BAD
    }
    return 2;
}
EOF
    cat >"$dir/ui/Good.cpp" <<'EOF'
// type == 13 in a comment is no comparison
/* nor is case 13: in a block
   comment, or type != 6 here */
const char* text = "type == 13";
bool a(TypeId type) { return type == TypeId::Newton || traits(type).orbits; }
bool b(const Fractal& f) { return f.BoundaryType == 0 && m_boundaryType != 1; }
bool c(QEvent* event) { return event->type() == 6 || e.type() < 3; }
int d(int algorithm, int type)
{
    switch (algorithm) {
    case 1: return type > TypeCount ? 0 : 1;
    }
    switch (type) {
    case TypeId::Mandelbrot:
        switch (algorithm) {
        case 2: return 1;
        }
        return 2;
    default: break;
    }
    switch (f.BoundaryType) {
    case 0: return 3;
    }
    switch (traits(type).MaxBailout) {
    case 2: return 4;
    }
    return typeCount < 3 ? int(TypeId(index)) : 1 << type;
}
EOF
    local expected actual
    expected=$(grep -n 'BAD' "$dir/engine/Bad.cpp" | cut -d: -f1 | sed "s|^|$dir/engine/Bad.cpp:|" | sort)
    actual=$(scan "$dir" engine ui | cut -d: -f1,2 | sort -u || true)
    if [ "$expected" != "$actual" ]; then
        echo "catalogue_numbers_check self-test FAILED" >&2
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        return 1
    fi
    echo "catalogue_numbers_check self-test: $(echo "$expected" | wc -l) bad lines found, no good line reported"
}

if [ "${1:-}" = "--self-test" ]; then
    selfTest
    exit $?
fi

root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
if scan "$root" engine colour document storage cli ui bench; then
    echo "catalogue_numbers_check: no fractal type compared with a number outside engine/Catalogue.*"
else
    status=$?
    [ $status -eq 1 ] && echo "catalogue_numbers_check: name the type with engine::TypeId or ask engine::traits()" >&2
    exit $status
fi
