"""A loopback web server for Kestrel's tests (see loopback_server.h); prints its port and pid."""
import functools, http.server, os, ssl, subprocess, sys, threading, time


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/silent"):
            time.sleep(60)
        elif self.path.startswith(("/loop", "/moved/")):
            target = self.path[7:] if self.path.startswith("/moved/") else "loop"
            self.send_response(302)
            self.send_header("Location", target if "://" in target else "/" + target)
            self.end_headers()
        else:
            super().do_GET()


folder = sys.argv[1]
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=folder))
if len(sys.argv) > 2:
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                    "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
threading.Timer(300, os._exit, [0]).start()  # ends itself if a crashed test never stops it
print(server.server_address[1], os.getpid(), flush=True)
server.serve_forever()
