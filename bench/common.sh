# Shared by the end-to-end benchmarks: where the programs are, a scratch
# folder removed on exit, and kv120-sim served on a pseudo-terminal.

build=${1:-build}
sim="$build/src/kv120-sim"
ctl="$build/src/kv120ctl"
window="$build/src/kv120-config"
scratch=$(mktemp -d)
sim_pid=

cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

# Starts kv120-sim with the given options; sets pty to its terminal's path.
start_sim() {
    "$sim" "$@" >"$scratch/sim.out" 2>"$scratch/sim.err" &
    sim_pid=$!
    for _ in $(seq 100); do
        pty=$(head -n 1 "$scratch/sim.out")
        [ -n "$pty" ] && return 0
        sleep 0.05
    done
    echo "kv120-sim did not start: $(cat "$scratch/sim.err")" >&2
    exit 1
}

# Seconds between two $EPOCHREALTIME readings.
seconds_between() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'
}

# One line of the figures table: name, value, target.
figure() {
    printf '%s|%s|%s\n' "$1" "$2" "$3"
}
