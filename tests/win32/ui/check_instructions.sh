#!/usr/bin/env bash
# Checks that Tallowick.exe runs on its processor floor, the 486: no
# instruction that a 486 lacks (CMOV, FCOMI/FUCOMI, CPUID, RDTSC, CMPXCHG8B,
# MMX, SSE, AVX, BMI and later) anywhere in its code, except in functions on
# a reviewed list, each with the reason it can never run.
#
#   check_instructions.sh OBJDUMP CXXFILT EXE MAP ALLOWED_LIST
#
# EXE is the shipped, stripped file; MAP is the linker's map of the same link,
# which names the function at each address. ALLOWED_LIST holds one function
# a line, as this check names it, with a '#' comment above it saying why it
# never runs.
set -euo pipefail
export LC_ALL=C

objdump=${1:?objdump} cxxfilt=${2:?c++filt} exe=${3:?exe} map=${4:?map} allowed=${5:?allowed list}
failed=0
fail() { echo "check_instructions: $*" >&2; failed=1; }

# The code is the .text section, and only it.
headers=$("$objdump" -h "$exe")
code_sections=$(awk '/^ *[0-9]+ / { name = $2; next } /CODE/ { print name }' <<<"$headers")
[ "$code_sections" = ".text" ] || fail "code sections '$code_sections', expected .text alone"
read -r text_size text_vma < <(awk '$2 == ".text" { print $3, $4 }' <<<"$headers")
text_end=$(printf '0x%x' $((16#$text_vma + 16#$text_size)))

# The map's input sections in .text, then the disassembly; each instruction
# is named by the last symbol before it in its input section, else by the
# section's own name (.text$NAME, as -ffunction-sections makes them). The
# data kept in .text (constructor lists, exception tables, fill) is skipped;
# every other input section there is code.
# Prints "function<TAB>mnemonic<TAB>address<TAB>file" per forbidden
# instruction, and "desync<TAB>address" where a code section does not start
# on an instruction boundary (the disassembly is then not to be trusted).
findings=$(
    { cat "$map"; echo "@@disassembly"; "$objdump" -d --no-show-raw-insn "$exe"; } | awk '
    function hex(s,    i, v) {
        s = tolower(s); sub(/^0x/, "", s); v = 0
        for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
        return v
    }
    function add_section(name, start, size, file) {
        if (size == 0) return
        n++; sec_start[n] = start; sec_end[n] = start + size; sec_file[n] = file
        sec_code[n] = !(name ~ /^\.(ctors|dtors)/ || name ~ /^\.gcc_exc/ || name ~ /^\*(fill|data)\*$/)
        sec_name[n] = name; sub(/^\.text(\.unlikely|\.startup|\.hot)?[$.]?/, "", sec_name[n])
        nsym[n] = 0
    }
    BEGIN { in_text = 0; n = 0; pending = "" }
    !disasm && /^@@disassembly$/ { disasm = 1; cur = 1; next }
    !disasm {
        if ($0 ~ /^\.text[ \t]/) { in_text = 1; next }
        if (in_text && $0 ~ /^[^ \t*]/) { in_text = 0 }
        if (!in_text) next
        if ($0 ~ /^ [^ *][^ ]*$/) { pending = $1; next }
        if ($0 ~ /^ [^ *][^ ]* +0x[0-9a-f]+ +0x[0-9a-f]+ /) {
            file = $0; sub(/^ [^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+ +/, "", file)
            add_section($1, hex($2), hex($3), file); pending = ""; next
        }
        if (pending != "" && $0 ~ /^ +0x[0-9a-f]+ +0x[0-9a-f]+ /) {
            file = $0; sub(/^ +0x[0-9a-f]+ +0x[0-9a-f]+ +/, "", file)
            add_section(pending, hex($1), hex($2), file); pending = ""; next
        }
        # Alignment fill and the LONG markers of the constructor lists: not code.
        if ($0 ~ /^ \*fill\* +0x[0-9a-f]+ +0x[0-9a-f]+/) { add_section("*fill*", hex($2), hex($3), ""); next }
        if ($0 ~ /^ +0x[0-9a-f]+ +0x[0-9a-f]+ +(LONG|SHORT|BYTE|QUAD) /) { add_section("*data*", hex($1), hex($2), ""); next }
        pending = ""
        if (n > 0 && $0 ~ /^ +0x[0-9a-f]+ +[^0 ]/) {
            name = $0; sub(/^ +0x[0-9a-f]+ +/, "", name)
            k = ++nsym[n]; sym_addr[n, k] = hex($1); sym_name[n, k] = name
        }
        next
    }
    # The disassembly: "  401000:\tmnemonic operands".
    $0 ~ /^ +[0-9a-f]+:\t/ {
        address = hex("0x" substr($1, 1, length($1) - 1))
        while (cur <= n && sec_end[cur] <= address) {
            if (sec_code[cur] && !started[cur]) print "desync\t" sprintf("0x%x", sec_start[cur])
            cur++
        }
        if (cur > n || address < sec_start[cur] || !sec_code[cur]) next
        if (address == sec_start[cur]) started[cur] = 1
        split($0, parts, "\t"); insn = parts[2]
        mnemonic = insn; sub(/ .*/, "", mnemonic)
        if (mnemonic ~ /^(rep|repz|repnz|lock|data16|addr16|cs|ds|es|fs|gs|ss)$/) {
            rest = insn; sub(/^[^ ]+ +/, "", rest); mnemonic = rest; sub(/ .*/, "", mnemonic)
        }
        forbidden = ""
        # Pentium Pro and later: conditional moves, FCOMI/FUCOMI, long NOPs,
        # fast system calls, FXSAVE, RDPMC.
        if (mnemonic ~ /^(f?cmov|fu?comip?$|nop[wl]?$|sysenter|sysexit|syscall|sysret|fxsave|fxrstor|rdpmc)/ \
            && !(mnemonic == "nop" && insn == "nop")) forbidden = mnemonic
        # The Pentium over the 486.
        if (mnemonic ~ /^(cpuid|rdtsc|cmpxchg8b|rdmsr|wrmsr|rsm)$/) forbidden = mnemonic
        # MMX, SSE and AVX registers, and the instructions of those and later
        # extensions that name none.
        if (insn ~ /%(x|y|z)?mm[0-9]|%k[0-7]/) forbidden = mnemonic
        if (mnemonic ~ /^(emms|femms|ldmxcsr|stmxcsr|prefetch|movnti|clflush|clwb|[lms]fence|fisttp|monitor|mwait|popcnt|lzcnt|tzcnt|movbe|crc32|rdrand|rdseed|rdtscp|rdpid|xgetbv|xsetbv|xsave|xrstor|cmpxchg16b|adcx|adox|andn|bextr|blsi|blsmsk|blsr|bzhi|mulx|pdep|pext|rorx|sarx|shlx|shrx|endbr|rdfsbase|rdgsbase|wrfsbase|wrgsbase|vzero)/) forbidden = mnemonic
        if (mnemonic == "(bad)") forbidden = "(bad)"
        if (forbidden == "") next
        name = ""
        for (k = 1; k <= nsym[cur]; k++) if (sym_addr[cur, k] <= address) name = sym_name[cur, k]
        if (name == "") name = (sec_name[cur] != "" ? "@" sec_name[cur] : sprintf("%s+0x%x", sec_file[cur], address - sec_start[cur]))
        printf "%s\t%s\t0x%x\t%s\n", name, forbidden, address, sec_file[cur]
    }
    END {
        if (!disasm || n == 0) print "nomap\t"
        last = 0
        for (k = 1; k <= n; k++) if (sec_end[k] > last) last = sec_end[k]
        printf "extent\t0x%x\t0x%x\n", sec_start[1], last
        for (; cur <= n; cur++) if (sec_code[cur] && !started[cur]) print "desync\t" sprintf("0x%x", sec_start[cur])
    }'
)

if grep -q '^nomap' <<<"$findings"; then
    fail "no .text input sections found in $map"
fi
# The map must be this file's: its .text input sections fill the section.
map_extent=$(awk -F'\t' '$1 == "extent" { print $2 "-" $3 }' <<<"$findings")
if [ "$map_extent" != "$(printf '0x%x' $((16#$text_vma)))-$text_end" ]; then
    fail "$map is not the map of $exe: its .text runs $map_extent, the file's 0x$text_vma-$text_end"
    exit 1
fi
desyncs=$(awk -F'\t' '$1 == "desync" { print $2 }' <<<"$findings")
if [ -n "$desyncs" ]; then
    fail "the disassembly does not start $(wc -l <<<"$desyncs") code sections on an instruction, first at" \
         "$(head -5 <<<"$desyncs" | tr '\n' ' ')"
fi

# Section-named functions (@mangled) read as C++, like the map's own names.
found=$(awk -F'\t' '$1 != "desync" && $1 != "nomap" && $1 != "extent"' <<<"$findings" | while IFS=$'\t' read -r name what address file; do
    if [[ $name == @* ]]; then name=$("$cxxfilt" -n "${name#@}"); fi
    printf '%s\t%s\t%s\t%s\n' "$name" "$what" "$address" "$file"
done)

# The reviewed list: each function preceded by its reason.
allowed_functions=$(awk '
    /^[[:space:]]*$/ { reason = 0; next }
    /^#/ { reason = 1; next }
    { if (!reason) print "UNREASONED\t" $0; else print "OK\t" $0 }
' "$allowed")
unreasoned=$(awk -F'\t' '$1 == "UNREASONED" { print $2 }' <<<"$allowed_functions")
[ -z "$unreasoned" ] || fail "entries of $allowed without a reason above them: $unreasoned"
allowed_names=$(cut -f2 <<<"$allowed_functions" | sort -u)

functions=$(cut -f1 <<<"$found" | awk 'NF' | sort -u)
unreviewed=$(comm -23 <(echo "$functions") <(echo "$allowed_names") | awk 'NF')
if [ -n "$unreviewed" ]; then
    fail "instructions the 486 lacks, in functions not on the reviewed list $allowed:"
    while IFS= read -r function; do
        awk -F'\t' -v f="$function" '$1 == f { print "    " $1 ": " $2 " at " $3 " (" $4 ")" }' <<<"$found" >&2
    done <<<"$unreviewed"
fi
stale=$(comm -13 <(echo "$functions") <(echo "$allowed_names") | awk 'NF')
[ -z "$stale" ] || fail "on the reviewed list but free of such instructions (remove them): $stale"

count=$(awk 'NF' <<<"$found" | wc -l)
listed=$(comm -12 <(echo "$functions") <(echo "$allowed_names") | awk 'NF' | wc -l)
if [ "$failed" = 0 ]; then
    echo "check_instructions: $exe: no instruction newer than the 486 outside the reviewed list" \
         "($count in its $listed reviewed functions)"
fi
exit "$failed"
