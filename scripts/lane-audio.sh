# A sound server for each test lane, sourced by wine-lane.sh and
# wine-server.sh. Under Wine a media file "plays" only while a sound server
# takes its output: without one, MCI accepts play and the position stays put.
# The server a Wine program talks to is found from the Unix environment of
# that very process (XDG_RUNTIME_DIR, PULSE_SERVER), which Wine passes on from
# parent to child and never takes from the Windows environment block. So the
# lane's variables are exported before its first Wine process starts.
# Each lane has its own runtime folder: lanes must not share one server's
# state, and the socket path must stay short (Unix sockets take ~100 bytes).

# lane_audio_dir PREFIX: the lane's runtime folder, named after its prefix.
lane_audio_dir() { echo "/tmp/knt-audio-$(printf '%s' "$1" | md5sum | cut -c1-12)"; }

# use_lane_audio PREFIX: exports what the lane's programs need to find it.
use_lane_audio() {
  local dir
  dir=$(lane_audio_dir "$1")
  export XDG_RUNTIME_DIR=$dir PULSE_SERVER=unix:$dir/pulse/native
}

# start_lane_audio PREFIX: a server with a null sink (no sound card here),
# open to the lane's processes without a cookie; nothing when one runs.
start_lane_audio() {
  command -v pulseaudio >/dev/null || return 0
  local dir
  dir=$(lane_audio_dir "$1")
  mkdir -p -m 700 "$dir"
  XDG_RUNTIME_DIR=$dir HOME=$dir pulseaudio --check 2>/dev/null && return 0
  # Daemonised, it returns once the socket is there; -n leaves out the
  # desktop's default modules (D-Bus, sound card detection).
  XDG_RUNTIME_DIR=$dir HOME=$dir pulseaudio -n --daemonize=yes --exit-idle-time=-1 \
    --log-target=file:"$dir/log" -L module-null-sink \
    -L "module-native-protocol-unix auth-anonymous=1" </dev/null >/dev/null 2>&1
}

# stop_lane_audio PREFIX: ends the lane's server (its pid file names it).
stop_lane_audio() {
  command -v pulseaudio >/dev/null || return 0
  local dir
  dir=$(lane_audio_dir "$1")
  [ -d "$dir" ] || return 0
  XDG_RUNTIME_DIR=$dir HOME=$dir pulseaudio -k 2>/dev/null || true
  rm -rf "$dir"
}
