#!/usr/bin/env bash
# Computes a poster's tiles on a Slurm cluster: one job-array task per tile not yet complete.
#
#   scripts/poster-slurm.sh [--cli PATH] [--cpus N] [--time HH:MM:SS] [--partition NAME] [--dry-run] DIR
#
# DIR is a plan made by "vorex-cli poster plan", on a file system that every node sees. The tiles that
# "vorex-cli poster status" lists as not complete are written, one path a line, to DIR/slurm-tasks.txt;
# task i of the array computes line i + 1 with "vorex-cli compute --quiet --threads N". A task that is
# cancelled or times out leaves its tile as it was (or resumable); submit again for what remains, then
# "vorex-cli poster assemble". --dry-run prints the sbatch command and the task list and submits nothing.
set -euo pipefail

cli=vorex-cli
cpus=4
time_limit=01:00:00
partition=
dry=0
dir=
while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --cpus) cpus=$2; shift 2 ;;
    --time) time_limit=$2; shift 2 ;;
    --partition) partition=$2; shift 2 ;;
    --dry-run) dry=1; shift ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    -*) echo "poster-slurm: unknown option $1" >&2; exit 2 ;;
    *) [ -z "$dir" ] || { echo "poster-slurm: one plan directory only" >&2; exit 2; }; dir=$1; shift ;;
  esac
done
[ -n "$dir" ] || { echo "poster-slurm: the plan directory DIR is missing" >&2; exit 2; }
case "$cpus" in ''|*[!0-9]*) echo "poster-slurm: --cpus expects a number" >&2; exit 2 ;; esac
dir=$(cd "$dir" && pwd)

# "PATH: state" for every tile not complete; exit 1 only means that there are some.
set +e
status=$("$cli" poster status "$dir")
rc=$?
set -e
if [ $rc -gt 1 ] || { [ $rc -eq 1 ] && ! grep -q ': ' <<<"$status"; }; then
  echo "poster-slurm: $dir: not a readable poster plan" >&2
  exit 1
fi
if grep -q -e ': foreign' -e ': missing' -e ': unreadable' <<<"$status"; then
  grep -e ': foreign' -e ': missing' -e ': unreadable' <<<"$status" >&2
  echo "poster-slurm: fix the plan first; nothing was submitted" >&2
  exit 1
fi
tasks=$(grep -E ': (not computed|partly computed)' <<<"$status" | sed 's/: [^:]*$//' || true)
if [ -z "$tasks" ]; then
  echo "every tile is complete: nothing to submit"
  exit 0
fi
count=$(wc -l <<<"$tasks")
list="$dir/slurm-tasks.txt"

script="tile=\$(sed -n \"\$((SLURM_ARRAY_TASK_ID + 1))p\" '$list') && exec '$cli' compute --quiet --threads \${SLURM_CPUS_PER_TASK:-$cpus} \"\$tile\""
cmd=(sbatch --job-name=vorex-poster "--array=0-$((count - 1))" "--cpus-per-task=$cpus" "--time=$time_limit"
     "--output=$dir/slurm-%A_%a.log")
[ -z "$partition" ] || cmd+=("--partition=$partition")
cmd+=(--wrap "$script")

if [ "$dry" = 1 ]; then
  printf '%q ' "${cmd[@]}"
  echo
  echo "# $count tasks ($list):"
  nl -v0 -w1 -s' ' <<<"$tasks"
  exit 0
fi
command -v sbatch >/dev/null || { echo "poster-slurm: sbatch is not available here" >&2; exit 1; }
printf '%s\n' "$tasks" > "$list"
"${cmd[@]}"
