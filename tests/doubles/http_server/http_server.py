#!/usr/bin/env python3
"""Scriptable local HTTP/1.1 test server (Python standard library only).

Binds 127.0.0.1 on a free port, serves files with HEAD and single-range
(206) support, keeps a request log and injects faults per path. Many tests
share one server: each test opens a session of its own and everything it
configures or reads lives under that session.

Start and stop
  http_server.py --port-file F [--lifetime S] [--idle S] [--parent-pid P]
      runs in the foreground; writes the port into F once it listens.
  http_server.py --daemon --port-file F ...
      detaches, waits until the server listens, then returns (ctest fixture
      set-up); an older server named by F is asked to stop first.
  http_server.py --stop --port-file F
      asks the server named by F to stop and removes F (fixture clean-up).
  The server always stops by itself: after --lifetime seconds (default
  3600), after --idle seconds without a request (default 900), or when
  the process --parent-pid is gone.

Under ctest the fixture in CMakeLists.txt starts one server for every test
under Wine and writes its port to <build>/http_server.port; the C++ helper
tests/doubles/http_server/http_test_server.h finds that file (or the file
named by the environment variable QUILLON_HTTP_PORT_FILE) and wraps the
control interface below.

Control interface (plain HTTP; answers are text)
  GET    /_ctl/ping                      -> "ok"
  POST   /_ctl/session[?root=DIR]        -> session id, e.g. "s3"; files are
         then served at /<sid>/<path>. DIR (a host path, or "Z:\\..." as a
         test under Wine sees the host) is searched after uploaded files.
  DELETE /_ctl/session/<sid>             forgets the session
  PUT    /_ctl/file/<sid>/<path>         body becomes the file <path>
  POST   /_ctl/fault/<sid>/<path>?kind=K&...   sets the fault of <path>
  DELETE /_ctl/fault/<sid>/<path>        clears it
  POST   /_ctl/options/<sid>?validators=0|1  whether files are served with
         ETag and Last-Modified and If-Range is honoured (default 1); with
         0 the server sends neither and serves every range asked for
  GET    /_ctl/log/<sid>                 request log, one line a request:
         METHOD TAB PATH TAB RANGE TAB STATUS TAB BODY-BYTES-SENT
                TAB CONTENT-TYPE TAB REQUEST-BODY TAB IF-RANGE
         PATH is the request target after "/<sid>" exactly as received
         (still percent-encoded); RANGE, CONTENT-TYPE and IF-RANGE are
         those headers or "-"; REQUEST-BODY is what a POST sent, with every
         byte outside 0x21..0x7E but the blank, and "%", written as %XX
         (empty for other methods).

Validators: an uploaded file's ETag is a digest of its bytes and its
Last-Modified the time of its upload, so a file uploaded again under the
same path is another file to If-Range; a Range whose If-Range names
neither is answered 200 with the whole file.
  POST   /_ctl/shutdown                  stops the server

  <path> in control URLs is percent-encoded like the served URL; it is
  decoded to bytes, so "%E9" names the byte 0xE9 in both places.

Faults (query of POST /_ctl/fault; times=N limits it to the next N
requests it applies to, default unlimited)
  kind=status&code=N        answer N with a small HTML body (404, 500, ...);
                            with body=file the path's uploaded file instead
  kind=redirect&code=N&to=T answer N (301/302/303, default 302) with
                            Location T; T starting with "/" is taken within
                            the session; without "to" no Location is sent
  kind=stall&after=N&secs=S send the headers and N body bytes, then hold
                            the connection S seconds (default 30) and close
  kind=cut&after=N          send the headers and N body bytes, then close
  kind=trickle&chunk=N&delay=MS   send the body N bytes every MS ms
  kind=norange              ignore a Range header: answer 200 and the whole file
  Status and redirect faults apply to GET, HEAD and POST, stall, cut and
  trickle to GET and POST, norange to GET.

Served paths answer GET, HEAD and POST. A POST's body is read and logged;
the answer is the path's file when there is one, else an empty 200.
"""

import argparse
import email.utils
import hashlib
import http.server
import os
import select
import signal
import socket
import sys
import threading
import time
import urllib.parse
import urllib.request

CHUNK = 256 * 1024


class Session:
    def __init__(self, sid, root):
        self.sid = sid
        self.root = root
        self.files = {}   # decoded path bytes -> content bytes
        self.faults = {}  # decoded path bytes -> dict of parameters
        self.uploaded = {}  # decoded path bytes -> upload time
        self.validators = True
        self.log = []


class State:
    def __init__(self):
        self.lock = threading.Lock()
        self.sessions = {}
        self.next_id = 1
        self.last_request = time.monotonic()


def host_path(root):
    """A folder as the host sees it; "Z:\\x" (Wine's view of /x) maps to /x."""
    if len(root) >= 2 and root[1] == ':' and root[0] in 'zZ':
        root = root[2:]
    return root.replace('\\', '/')


def decode_path(raw):
    """Request target (without query) -> path bytes without leading '/'."""
    return urllib.parse.unquote_to_bytes(raw).lstrip(b'/')


def safe_parts(path):
    parts = [p for p in path.replace(b'\\', b'/').split(b'/') if p]
    if any(p == b'..' for p in parts):
        return None
    return parts


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'
    server_version = 'QuillonTestHTTP/1.0'

    def log_message(self, fmt, *args):  # keep stderr quiet
        pass

    # -- dispatch ---------------------------------------------------------
    def do_GET(self):
        self.route('GET')

    def do_HEAD(self):
        self.route('HEAD')

    def do_POST(self):
        self.route('POST')

    def do_PUT(self):
        self.route('PUT')

    def do_DELETE(self):
        self.route('DELETE')

    def route(self, method):
        state = self.server.state
        with state.lock:
            state.last_request = time.monotonic()
        try:
            target, _, query = self.path.partition('?')
            if target.startswith('/_ctl/'):
                self.control(method, target[len('/_ctl/'):], query)
            else:
                self.serve(method, target, query)
        except (ConnectionError, BrokenPipeError, socket.timeout, OSError):
            self.close_connection = True

    def read_body(self):
        length = int(self.headers.get('Content-Length') or 0)
        data = bytearray()
        while len(data) < length:
            piece = self.rfile.read(min(CHUNK, length - len(data)))
            if not piece:
                break
            data += piece
        return bytes(data)

    def reply(self, code, body=b'', content_type='text/plain', extra=(), head=False):
        if isinstance(body, str):
            body = body.encode('utf-8')
        self.send_response(code)
        self.send_header('Content-Type', content_type)
        self.send_header('Content-Length', str(len(body)))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        if not head and body:
            self.wfile.write(body)
        return 0 if head else len(body)

    # -- control interface ------------------------------------------------
    def control(self, method, rest, query):
        state = self.server.state
        params = dict(urllib.parse.parse_qsl(query, keep_blank_values=True))
        body = self.read_body() if method in ('POST', 'PUT') else b''
        what, _, tail = rest.partition('/')
        sid, _, path = tail.partition('/')
        if what == 'ping':
            self.reply(200, 'ok')
            return
        if what == 'shutdown' and method == 'POST':
            self.reply(200, 'bye')
            self.close_connection = True
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return
        if what == 'session' and method == 'POST':
            root = params.get('root')
            with state.lock:
                sid = 's%d' % state.next_id
                state.next_id += 1
                state.sessions[sid] = Session(sid, host_path(root) if root else None)
            self.reply(200, sid)
            return
        with state.lock:
            session = state.sessions.get(sid)
        if session is None:
            self.reply(404, 'no such session\n')
            return
        key = decode_path(path)
        if what == 'session' and method == 'DELETE':
            with state.lock:
                state.sessions.pop(sid, None)
            self.reply(200, 'ok')
        elif what == 'file' and method == 'PUT':
            if safe_parts(key) is None:
                self.reply(400, 'bad path\n')
                return
            with state.lock:
                joined = b'/'.join(safe_parts(key))
                session.files[joined] = body
                session.uploaded[joined] = time.time()
            self.reply(200, 'ok')
        elif what == 'options' and method == 'POST':
            with state.lock:
                session.validators = params.get('validators', '1') != '0'
            self.reply(200, 'ok')
        elif what == 'fault' and method == 'POST':
            kind = params.get('kind', '')
            if kind not in ('status', 'redirect', 'stall', 'cut', 'trickle', 'norange'):
                self.reply(400, 'unknown fault kind\n')
                return
            fault = dict(params)
            fault['times'] = int(params.get('times', '-1'))
            with state.lock:
                session.faults[key] = fault
            self.reply(200, 'ok')
        elif what == 'fault' and method == 'DELETE':
            with state.lock:
                session.faults.pop(key, None)
            self.reply(200, 'ok')
        elif what == 'log' and method == 'GET':
            with state.lock:
                lines = ['\t'.join(str(v) for v in entry) for entry in session.log]
            self.reply(200, ''.join(line + '\n' for line in lines))
        else:
            self.reply(400, 'unknown control request\n')

    # -- serving ----------------------------------------------------------
    def take_fault(self, session, key, method):
        with self.server.state.lock:
            fault = session.faults.get(key)
            if fault is None:
                return None
            if fault['kind'] == 'norange' and method != 'GET':
                return None
            if fault['kind'] in ('stall', 'cut', 'trickle') and method not in ('GET', 'POST'):
                return None
            if fault['times'] == 0:
                return None
            if fault['times'] > 0:
                fault['times'] -= 1
            return dict(fault)

    def find(self, session, key):
        parts = safe_parts(key)
        if parts is None:
            return None
        joined = b'/'.join(parts)
        with self.server.state.lock:
            content = session.files.get(joined)
            uploaded = session.uploaded.get(joined, 0)
        if content is not None:
            etag = '"%s"' % hashlib.md5(content).hexdigest()
            return ('bytes', content, len(content), etag, uploaded)
        if session.root:
            full = os.path.join(os.fsencode(session.root), *parts) if parts else None
            if full and os.path.isfile(full):
                info = os.stat(full)
                etag = '"%x-%x"' % (info.st_mtime_ns, info.st_size)
                return ('file', full, info.st_size, etag, info.st_mtime)
        return None

    def serve(self, method, target, query):
        state = self.server.state
        sid, _, rest = target.lstrip('/').partition('/')
        with state.lock:
            session = state.sessions.get(sid)
        raw = '/' + rest + ('?' + query if query else '')
        range_header = self.headers.get('Range')
        posted = self.read_body() if method == 'POST' else b''
        if_range = self.headers.get('If-Range')
        entry = [method, raw, range_header or '-', 0, 0, self.headers.get('Content-Type') or '-',
                 escape_body(posted), if_range or '-']
        if session is not None:
            with state.lock:
                session.log.append(entry)
        if method not in ('GET', 'HEAD', 'POST') or session is None:
            entry[3] = 405 if session is not None else 404
            entry[4] = self.reply(entry[3], 'not served\n', head=(method == 'HEAD'))
            return
        head = method == 'HEAD'
        key = decode_path(rest)
        fault = self.take_fault(session, key, method)
        if fault and fault['kind'] == 'status':
            code = int(fault.get('code', '500'))
            page = ('<html><head><title>%d</title></head><body><h1>Error %d</h1>'
                    '<p>The server could not answer this request.</p></body></html>\n' % (code, code))
            if fault.get('body') == 'file':
                found = self.find(session, key)
                if found is not None and found[0] == 'bytes':
                    page = found[1]
            entry[3] = code
            entry[4] = self.reply(code, page, 'text/html', head=head)
            return
        if fault and fault['kind'] == 'redirect':
            code = int(fault.get('code', '302'))
            extra = []
            to = fault.get('to')
            if to:
                extra.append(('Location', '/' + sid + to if to.startswith('/') else to))
            entry[3] = code
            entry[4] = self.reply(code, '<html><body>Moved</body></html>\n', 'text/html', extra, head=head)
            return
        found = self.find(session, key)
        if found is None and method == 'POST':
            found = ('bytes', b'', 0, '"empty"', 0)
        if found is None:
            entry[3] = 404
            entry[4] = self.reply(404, '<html><body>Not Found</body></html>\n', 'text/html', head=head)
            return
        kind, source, size, etag, modified = found
        start, end, code = 0, size - 1, 200
        extra = [('Accept-Ranges', 'bytes')]
        if session.validators:
            last_modified = email.utils.formatdate(modified, usegmt=True)
            extra += [('ETag', etag), ('Last-Modified', last_modified)]
            if range_header and if_range and if_range not in (etag, last_modified):
                range_header = None  # another file now: the whole of it
        if range_header and not (fault and fault['kind'] == 'norange'):
            parsed = parse_range(range_header, size)
            if parsed is None:
                entry[3] = 416
                entry[4] = self.reply(416, '', extra=[('Content-Range', 'bytes */%d' % size)], head=head)
                return
            if parsed != 'ignore':
                start, end = parsed
                code = 206
                extra.append(('Content-Range', 'bytes %d-%d/%d' % (start, end, size)))
        length = max(0, end - start + 1)
        self.send_response(code)
        self.send_header('Content-Type', 'application/octet-stream')
        self.send_header('Content-Length', str(length))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        entry[3] = code
        if head or length == 0:
            return
        if kind == 'bytes':
            entry[4] = self.send_body(lambda offset, count: source[start + offset:start + offset + count],
                                      length, fault)
            return
        with open(source, 'rb') as opened:
            if not fault or fault['kind'] == 'norange':
                entry[4] = self.connection.sendfile(opened, start, length)
                return
            opened.seek(start)
            entry[4] = self.send_body(lambda offset, count: opened.read(count), length, fault)

    def send_body(self, read, length, fault):
        """Writes the body through read(offset, count), as the fault says."""
        kind = fault['kind'] if fault else None
        sent = 0
        if kind == 'trickle':
            chunk = max(1, int(fault.get('chunk', '1024')))
            delay = float(fault.get('delay', '100')) / 1000.0
            while sent < length:
                piece = read(sent, min(chunk, length - sent))
                self.wfile.write(piece)
                sent += len(piece)
                if sent < length:
                    time.sleep(delay)
            return sent
        limit = min(length, int(fault.get('after', '0'))) if kind in ('stall', 'cut') else length
        while sent < limit:
            piece = read(sent, min(CHUNK, limit - sent))
            if not piece:
                break
            self.wfile.write(piece)
            sent += len(piece)
        if kind == 'stall':
            self.hold(float(fault.get('secs', '30')))
            self.drop()
        elif kind == 'cut':
            self.drop()
        return sent

    def hold(self, secs):
        """Keeps the connection silent for secs, or until the client goes."""
        deadline = time.monotonic() + secs
        while time.monotonic() < deadline:
            readable, _, _ = select.select([self.connection], [], [], 0.05)
            if readable:
                try:
                    if not self.connection.recv(1, socket.MSG_PEEK):
                        return
                except OSError:
                    return
                time.sleep(0.05)

    def drop(self):
        self.close_connection = True
        try:
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def escape_body(data):
    """A request body as one log field: printable ASCII and the blank stay,
    every other byte and "%" become %XX."""
    return ''.join(chr(b) if (0x21 <= b <= 0x7E and b != 0x25) or b == 0x20 else '%%%02X' % b for b in data)


def parse_range(header, size):
    """(start, end) for one satisfiable range, None for an unsatisfiable one,
    'ignore' for a header this server does not understand (full answer)."""
    if not header.startswith('bytes=') or ',' in header:
        return 'ignore'
    first, _, last = header[len('bytes='):].strip().partition('-')
    try:
        if first == '':
            count = int(last)
            if count <= 0:
                return None
            return (max(0, size - count), size - 1)
        start = int(first)
        end = int(last) if last else size - 1
    except ValueError:
        return 'ignore'
    if start >= size or end < start:
        return None
    return (start, min(end, size - 1))


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 128
    allow_reuse_address = True


def watchdog(server, lifetime, idle, parent_pid):
    started = time.monotonic()
    while True:
        time.sleep(0.5)
        now = time.monotonic()
        with server.state.lock:
            quiet = now - server.state.last_request
        gone = False
        if parent_pid:
            try:
                os.kill(parent_pid, 0)
            except OSError:
                gone = True
        if now - started > lifetime or quiet > idle or gone:
            server.shutdown()
            return


def write_port(path, port):
    tmp = path + '.tmp'
    with open(tmp, 'w') as f:
        f.write('%d\n' % port)
    os.replace(tmp, path)


def read_port(path):
    try:
        with open(path) as f:
            return int(f.read().strip())
    except (OSError, ValueError):
        return None


def ask_stop(port_file):
    port = read_port(port_file)
    if port:
        try:
            req = urllib.request.Request('http://127.0.0.1:%d/_ctl/shutdown' % port, data=b'', method='POST')
            urllib.request.urlopen(req, timeout=2).read()
        except OSError:
            pass
    try:
        os.remove(port_file)
    except OSError:
        pass


def run(args):
    server = Server(('127.0.0.1', 0), Handler)
    server.state = State()
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown, daemon=True).start())
    threading.Thread(target=watchdog, args=(server, args.lifetime, args.idle, args.parent_pid),
                     daemon=True).start()
    if args.port_file:
        write_port(args.port_file, server.server_address[1])
    else:
        print(server.server_address[1], flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        if args.port_file and read_port(args.port_file) == server.server_address[1]:
            try:
                os.remove(args.port_file)
            except OSError:
                pass


def main():
    parser = argparse.ArgumentParser(description='Scriptable local HTTP/1.1 test server')
    parser.add_argument('--port-file')
    parser.add_argument('--daemon', action='store_true')
    parser.add_argument('--stop', action='store_true')
    parser.add_argument('--lifetime', type=float, default=3600)
    parser.add_argument('--idle', type=float, default=900)
    parser.add_argument('--parent-pid', type=int, default=0)
    args = parser.parse_args()
    if args.stop:
        if not args.port_file:
            parser.error('--stop needs --port-file')
        ask_stop(args.port_file)
        return 0
    if args.daemon:
        if not args.port_file:
            parser.error('--daemon needs --port-file')
        ask_stop(args.port_file)
        if os.fork() == 0:
            os.setsid()
            null = os.open(os.devnull, os.O_RDWR)
            for fd in (0, 1, 2):
                os.dup2(null, fd)
            try:
                run(args)
            finally:
                os._exit(0)
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            if read_port(args.port_file):
                print('http_server: listening on port %d' % read_port(args.port_file))
                return 0
            time.sleep(0.05)
        print('http_server: did not start', file=sys.stderr)
        return 1
    run(args)
    return 0


if __name__ == '__main__':
    sys.exit(main())
