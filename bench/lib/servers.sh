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

# make_certificates WORK: a test authority (WORK/ca.pem) and a certificate
# it signed for 127.0.0.1 (WORK/server.pem, key WORK/server.key).
make_certificates() {
    local work=$1
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 2 \
        -keyout "$work/ca.key" -out "$work/ca.pem" -subj "/CN=Bench CA" 2>/dev/null
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj /CN=127.0.0.1 \
        -keyout "$work/server.key" -out "$work/server.csr" 2>/dev/null
    printf 'subjectAltName=IP:127.0.0.1\n' > "$work/server.ext"
    openssl x509 -req -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" \
        -CAcreateserial -days 2 -extfile "$work/server.ext" -out "$work/server.pem" 2>/dev/null
}

# start_nginx_tls WORK ROOT PROBE: as start_nginx, over TLS 1.2 and 1.3 with
# the certificates of make_certificates; base is https://127.0.0.1:PORT.
start_nginx_tls() {
    local work=$1 root=$2 probe=$3 port
    port=$(free_port)
    mkdir -p "$work/tls"
    cat > "$work/tls/nginx.conf" <<CONF
daemon off; master_process off; worker_processes 1;
error_log $work/tls/error.log; pid $work/tls/nginx.pid;
events { worker_connections 256; }
http {
  access_log off; sendfile on; ssl_session_cache shared:bench:1m;
  client_body_temp_path $work/tls/body; proxy_temp_path $work/tls/proxy; fastcgi_temp_path $work/tls/fcgi;
  uwsgi_temp_path $work/tls/uwsgi; scgi_temp_path $work/tls/scgi;
  types { text/html htm html; image/gif gif; } default_type application/octet-stream;
  server { listen 127.0.0.1:$port ssl; root $root; ssl_protocols TLSv1.2 TLSv1.3;
           ssl_certificate $work/server.pem; ssl_certificate_key $work/server.key; }
}
CONF
    /usr/sbin/nginx -e "$work/tls/error.log" -p "$work/tls" -c "$work/tls/nginx.conf" &
    nginx_pid=$!
    base="https://127.0.0.1:$port"
    for _ in $(seq 50); do curl -s --cacert "$work/ca.pem" -o /dev/null "$base/$probe" && break; sleep 0.1; done
}
