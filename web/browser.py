"""What the two headless browsers share (chromium.py over DevTools, firefox.py
over WebDriver BiDi): a throw-away profile, the process started on it with
its remote port left to the browser, the wait for the address it listens on,
a wait on a condition in the page, and the clean end."""
import json
import shutil
import subprocess
import tempfile
import time


class BrowserError(RuntimeError):
    pass


class Browser:
    """One headless browser on a profile of its own, closed with the object."""

    def __init__(self, name, timeout):
        self.name, self.timeout = name, timeout
        self.profile = tempfile.mkdtemp(prefix=f"noisedemo-{name}-")
        self.socket = self.process = self.log = None

    def launch(self, argv, output, connect):
        """Starts the browser, then connect() (its protocol's own handshake); ends it if that fails."""
        self.process = subprocess.Popen(argv, stdout=output, stderr=subprocess.STDOUT)
        try:
            connect()
        except Exception:
            self.close()
            raise

    def until(self, found, what):
        """found()'s first truthy answer (the address the browser listens on), while it runs."""
        deadline = time.monotonic() + self.timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                said = open(self.log, errors="replace").read() if self.log else ""
                raise BrowserError(f"{self.name} ended at start with status {self.process.returncode}: {said}")
            value = found()
            if value:
                return value
            time.sleep(0.05)  # polling for the browser's start, not a wait on the page
        raise BrowserError(f"{self.name} did not start its {what}")

    def wait_for(self, expression, timeout=None):
        """Waits in the page until expression is truthy; returns its value."""
        ms = int((timeout or self.timeout) * 1000)
        return self.evaluate(
            "new Promise((resolve, reject) => { const t0 = performance.now();"
            " (function poll() { let v; try { v = (" + expression + "); } catch (e) {}"
            " if (v) resolve(v); else if (performance.now() - t0 > " + str(ms) + ")"
            " reject(new Error('timed out waiting for: ' + " + json.dumps(expression) + "));"
            " else setTimeout(poll, 10); })(); })")

    def close(self):
        try:
            if self.socket is not None:
                self.socket.close()
        finally:
            if self.process is not None and self.process.poll() is None:
                self.process.terminate()
                try:
                    self.process.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    self.process.kill()
                    self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
