# Sums a GNU ld map by archive or object file: awk -f map-sizes.awk FILE.map
# (file-backed input sections only: no .bss, no debug info, which -s strips).
function hex(s,   i, v) {
  v = 0; s = tolower(substr(s, 3))
  for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
  return v
}
function add(sec, size, file,   key) {
  if (sec ~ /^\.(bss|debug|stab)/ || size == 0) return
  if (sec == ".reloc") key = "base relocations"
  else {
    key = file
    if (key ~ /\(/) sub(/\(.*/, "", key)
    sub(/.*\//, "", key)
  }
  total[key] += size
}
/^Linker script and memory map/ { on = 1; next }
!on { next }
/^ \.[^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+ / { add($1, hex($3), $4); next }
/^ \.[^ ]+$/ { pending = $1; next }
pending != "" && /^ +0x[0-9a-f]+ +0x[0-9a-f]+ / { add(pending, hex($2), $3) }
{ pending = "" }
END { for (k in total) printf "%9d  %s\n", total[k], k }
