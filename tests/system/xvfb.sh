# Sourced by the real-window tests that start the program themselves (the
# replay runner in a window): the shared X session of x_session.sh, started
# at once. The caller sets `game_pid` to the program it waits on.
. "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
x_start

# wait_exit SECONDS DESCRIPTION: the program ends within SECONDS with status 0
wait_exit() {
    game_ended "$1" || fail "$2: still running after $1 s"
    [ "$game_status" -eq 0 ] || fail "$2: exit status $game_status"
    echo "ok: $2"
}
