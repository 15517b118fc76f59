# Source it: defines debian_mirror, for the setup scripts that add sources lists of their own.
#
# debian_mirror [apt-config-dir]: prints the first URI in the machine's apt sources (by default
# those of /etc/apt) that serves Debian's main archive: an enabled "deb" entry of the release suite
# itself ($VERSION_CODENAME of /etc/os-release) with the component main. The sources are read as
# apt reads them: sources.list, then sources.list.d in name order, one-line (.list) and deb822
# (.sources) files alike. Prints nothing when there is no such entry.
debian_mirror() {
  local config=${1:-/etc/apt} codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  local files=()
  [ -f "$config/sources.list" ] && files+=("$config/sources.list")
  local file
  while IFS= read -r file; do
    [ -f "$file" ] && files+=("$file")
  done < <(printf '%s\n' "$config"/sources.list.d/*.list "$config"/sources.list.d/*.sources | sort)
  [ ${#files[@]} -gt 0 ] || return 0
  awk -v codename="$codename" '
    function has(list, word,   words, n, i) {
      n = split(list, words, /[ \t]+/)
      for (i = 1; i <= n; i++) if (words[i] == word) return 1
      return 0
    }
    function found(uri) { print uri; done = 1; exit }
    # A deb822 paragraph ends at a blank line or with its file.
    function paragraph_ends(   uris, each) {
      uris = value["uris"]
      sub(/^[ \t]+/, "", uris)
      if (uris != "" && has(value["types"], "deb") && has(value["suites"], codename) &&
          has(value["components"], "main") && value["enabled"] !~ /^[ \t]*[Nn][Oo][ \t]*$/) {
        split(uris, each, /[ \t]+/)
        found(each[1])
      }
      split("", value)
      field = ""
    }
    FNR == 1 && previous ~ /\.sources$/ { paragraph_ends() }
    { previous = FILENAME }
    FILENAME ~ /\.sources$/ {
      if ($0 ~ /^#/) next
      if ($0 ~ /^[ \t]*$/) { paragraph_ends(); next }
      if ($0 ~ /^[ \t]/) { if (field != "") value[field] = value[field] " " $0; next }
      field = tolower(substr($0, 1, index($0, ":") - 1))
      value[field] = substr($0, index($0, ":") + 1)
      next
    }
    {
      line = $0
      sub(/#.*/, "", line)
      if (line !~ /^[ \t]*deb[ \t]/) next
      sub(/^[ \t]*deb[ \t]+/, "", line)
      if (line ~ /^\[/) sub(/^\[[^]]*\][ \t]*/, "", line)
      n = split(line, words, /[ \t]+/)
      for (i = 3; i <= n; i++) if (words[2] == codename && words[i] == "main") found(words[1])
    }
    END { if (!done && previous ~ /\.sources$/) paragraph_ends() }
  ' "${files[@]}"
}
