# Sourced: unused_port prints a loopback TCP port nothing uses, or fails. Ports are taken below
# the kernel's range for the local ends of outgoing connections (32768 and up on Debian): a
# port there that nothing listens on may still be the local end of a client's connection, and
# a server's bind to it then fails ("Address already in use"), as a cluster's node did while
# the machine was busy with other tests. Optional arguments: ports to leave out.
unused_port() {
  local p low span
  low=$(cut -f1 /proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || echo 32768)
  span=$((low - 20000))
  [ "$span" -ge 1000 ] || span=30000
  for _ in $(seq 1 200); do
    p=$((20000 + RANDOM % span))
    case " $* " in *" $p "*) continue ;; esac
    if command -v ss >/dev/null 2>&1; then
      [ -z "$(ss -Htan "( sport = :$p )" 2>/dev/null)" ] || continue
    elif (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
      continue
    fi
    echo "$p"
    return 0
  done
  return 1
}
