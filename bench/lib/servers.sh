# Local servers for the benchmark scripts, sourced by them.

# free_port: a TCP port on 127.0.0.1 that nothing listens on now.
free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

# start_nginx WORK ROOT PROBE: serves ROOT on a free port with its files in
# WORK, and waits until PROBE (a path under ROOT) answers. Sets nginx_pid and
# base (http://127.0.0.1:PORT); the caller kills nginx_pid when done.
start_nginx() {
    local work=$1 root=$2 probe=$3 port
    port=$(free_port)
    cat > "$work/nginx.conf" <<CONF
daemon off; master_process off; worker_processes 1;
error_log $work/error.log; pid $work/nginx.pid;
events { worker_connections 256; }
http {
  access_log off; sendfile on;
  client_body_temp_path $work/body; proxy_temp_path $work/proxy; fastcgi_temp_path $work/fcgi;
  uwsgi_temp_path $work/uwsgi; scgi_temp_path $work/scgi;
  types { text/html htm html; image/gif gif; } default_type application/octet-stream;
  server { listen 127.0.0.1:$port; root $root; }
}
CONF
    /usr/sbin/nginx -e "$work/error.log" -p "$work" -c "$work/nginx.conf" &
    nginx_pid=$!
    base="http://127.0.0.1:$port"
    for _ in $(seq 50); do curl -s -o /dev/null "$base/$probe" && break; sleep 0.1; done
}
