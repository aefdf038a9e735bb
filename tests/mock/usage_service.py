#!/usr/bin/env python3
"""A local stand-in for the usage service, for tests only.

Serves GET /api/oauth/usage over TLS on 127.0.0.1:PORT with the certificate in DIR. What it
answers is read from DIR/scenario on every request: full, today, empty, 401, 403, 429, 500, slow
(answers after 30 s). PORT+1 accepts connections and never answers. The request line and headers of the
last request are written to DIR/last_request. A request whose bearer token is T is answered by
DIR/scenario-T when that file exists (one login's answer apart from another's), and every
request's token is appended to DIR/tokens. Stops by itself after --lifetime seconds.
"""
import argparse
import http.server
import os
import socket
import ssl
import threading
import time

FULL = (b'{"five_hour":{"utilization":42.0,"resets_at":"2025-09-10T13:00:00.000000+00:00"},'
        b'"seven_day":{"utilization":17.5,"resets_at":"2025-09-14T08:00:00.000000+00:00"},'
        b'"seven_day_oauth_apps":null,'
        b'"seven_day_opus":{"utilization":55.0,"resets_at":null},'
        b'"extra_usage":{"is_enabled":false,"monthly_limit":null,"used_credits":null,"utilization":null}}')


# Today's shape: per-model weekly caps only in the "limits" array, extra usage switched on.
TODAY = (b'{"five_hour":{"utilization":29.0,"resets_at":"2030-01-01T15:00:00.52+00:00"},'
         b'"seven_day":{"utilization":26.0,"resets_at":"2030-01-05T10:00:00+00:00"},'
         b'"seven_day_opus":null,"seven_day_sonnet":null,'
         b'"extra_usage":{"is_enabled":true,"monthly_limit":5000,"used_credits":1240,"utilization":24.8},'
         b'"limits":[{"kind":"session","group":"session","percent":29,"severity":"normal",'
         b'"resets_at":"2030-01-01T15:00:00.52+00:00","scope":null,"is_active":false},'
         b'{"kind":"weekly_all","group":"weekly","percent":26,"severity":"normal",'
         b'"resets_at":"2030-01-05T10:00:00+00:00","scope":null,"is_active":false},'
         b'{"kind":"weekly_scoped","group":"weekly","percent":43,"severity":"warning",'
         b'"resets_at":"2030-01-03T10:00:00+00:00",'
         b'"scope":{"model":{"id":null,"display_name":"Fable"},"surface":null},"is_active":true}]}')


def make_handler(folder):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_GET(self):
            with open(os.path.join(folder, "last_request"), "w") as f:
                f.write(self.requestline + "\n" + str(self.headers))
            token = (self.headers.get("Authorization") or "").removeprefix("Bearer ").strip()
            with open(os.path.join(folder, "tokens"), "a") as f:
                f.write(token + "\n")
            own = os.path.join(folder, "scenario-" + token)
            if not token.replace("-", "").isalnum() or not os.path.exists(own):
                own = os.path.join(folder, "scenario")
            try:
                with open(own) as f:
                    scenario = f.read().strip()
            except OSError:
                scenario = "full"
            if scenario == "slow":
                time.sleep(30)
            status, body = {
                "full": (200, FULL), "today": (200, TODAY), "empty": (200, b"{}"), "401": (401, b'{"error":"unauthorized"}'),
                "403": (403, b"{}"), "429": (429, b'{"error":"rate_limited"}'),
                "500": (500, b"oops"), "slow": (200, FULL),
                "huge": (200, FULL + b" " * (8 << 20)),
            }.get(scenario, (500, b""))
            self.send_response(status)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

    return Handler


def blackhole(port, stop):
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(8)
    listener.settimeout(0.5)
    held = []
    while not stop.is_set():
        try:
            connection, _ = listener.accept()
            held.append(connection)  # accepted, never answered
        except socket.timeout:
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--dir", required=True)
    parser.add_argument("--lifetime", type=float, default=600)
    args = parser.parse_args()

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(args.dir, "server.pem"), os.path.join(args.dir, "server.key"))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), make_handler(args.dir))
    server.daemon_threads = True
    server.socket = context.wrap_socket(server.socket, server_side=True)
    stop = threading.Event()
    threading.Thread(target=blackhole, args=(args.port + 1, stop), daemon=True).start()
    threading.Timer(args.lifetime, server.shutdown).start()
    with open(os.path.join(args.dir, "ready"), "w") as f:
        f.write("ready")
    server.serve_forever()
    stop.set()


if __name__ == "__main__":
    main()
