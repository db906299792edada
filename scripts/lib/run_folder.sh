# Sourced by the run command and its check: where the shop's data lives and
# how it is staged.
#
# The run folder holds the program and, beside it, the shop's data (the five
# data folders, the settings folder, the backups). It lives outside the build
# tree, so a clean rebuild or `rm -rf build` never touches the shop.
#
# run_folder_path TOP         prints the run folder: $SHOP_RUN_FOLDER, else
#                             TOP/run (ignored by git)
# run_folder_stage BUILD DIR  on the first run makes DIR whole: the data
#                             folders, the settings folder and the shipped
#                             tables with the demo catalogue, or the data of
#                             the run folder the build tree held before
#                             (BUILD/run), copied through a checked backup.
#                             It is made in a scratch folder beside DIR and
#                             renamed into place only when complete; an
#                             existing DIR is never replaced, and nothing in
#                             it is made again. Then, every run, the program
#                             built in BUILD/bin is copied in, replacing only
#                             the program file.

run_folder_path() {
  echo "${SHOP_RUN_FOLDER:-$1/run}"
}

run_folder_stage() {
  local build=$1 dir=$2 tool="$1/tools/shop_table" scratch old="$1/run"
  if [ ! -e "$dir" ]; then
    mkdir -p "$(dirname "$dir")"
    scratch=$(mktemp -d "$(dirname "$dir")/.$(basename "$dir").staging.XXXXXX")
    if ! _run_folder_fill "$tool" "$scratch" "$old"; then
      rm -rf "$scratch"
      echo "run folder: could not make $dir; nothing was changed" >&2
      return 1
    fi
    # rename(2) of the whole folder: DIR is either absent or complete.
    mv -T "$scratch" "$dir" || { rm -rf "$scratch"; return 1; }
    echo "run folder: made $dir (the shop's data lives there)" >&2
  fi
  [ -d "$dir" ] || { echo "run folder: $dir is not a folder" >&2; return 1; }
  # Copied beside the program, then renamed over it: a program file is never
  # seen half written.
  cp "$build/bin/chengyu_shop" "$dir/.chengyu_shop.new" &&
    mv -f "$dir/.chengyu_shop.new" "$dir/chengyu_shop"
}

# The new folder's contents: the data an earlier build tree held, else the
# demo shop.
_run_folder_fill() {
  local tool=$1 scratch=$2 old=$3 backups
  if [ ! -d "$old/数据库管理" ]; then
    "$tool" provision "$scratch" --demo >/dev/null
    return
  fi
  "$tool" provision "$scratch" >/dev/null || return 1
  backups="$scratch/.from-build"
  mkdir "$backups" && "$tool" backup "$old" "$backups" >/dev/null || return 1
  "$tool" restore "$backups"/*/ "$scratch" >/dev/null || return 1
  rm -rf "$backups"
  echo "run folder: the shop's data in $old was copied here; that folder is no longer used" >&2
}
