#!/usr/bin/env python3
"""Renders a page in headless Chromium with Windows' forced colours emulated (and, given, a
preferred colour scheme), through the DevTools protocol over a pipe.

Prints what the page says of EXPRESSION (a JavaScript expression, evaluated after loading) and
writes a screenshot.
Usage: forced_colors.py URL SCREENSHOT.png FORCED(active|none) SCHEME(light|dark) EXPRESSION
"""
import base64
import json
import os
import subprocess
import sys
import tempfile


def main():
    url, shot, forced, scheme, expression = sys.argv[1:6]
    to_chromium_r, to_chromium_w = os.pipe()
    from_chromium_r, from_chromium_w = os.pipe()
    profile = tempfile.mkdtemp()

    def give_fds():
        os.dup2(to_chromium_r, 3)
        os.dup2(from_chromium_w, 4)

    browser = subprocess.Popen(
        ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
         "--window-size=900,800", "--remote-debugging-pipe", "--user-data-dir=" + profile,
         "about:blank"],
        pass_fds=(3, 4), preexec_fn=give_fds, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL)
    os.close(to_chromium_r)
    os.close(from_chromium_w)
    out = os.fdopen(to_chromium_w, "wb")
    inp = os.fdopen(from_chromium_r, "rb")
    pending = b""
    ids = iter(range(1, 1000))

    def receive():
        nonlocal pending
        while b"\0" not in pending:
            chunk = inp.read1(65536)
            if not chunk:
                raise SystemExit("chromium went away")
            pending += chunk
        message, pending = pending.split(b"\0", 1)
        return json.loads(message)

    def call(method, params=None, session=None, until=None):
        number = next(ids)
        message = {"id": number, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        out.write(json.dumps(message).encode() + b"\0")
        out.flush()
        result = None
        while True:
            reply = receive()
            if reply.get("id") == number:
                if "error" in reply:
                    raise SystemExit(f"{method}: {reply['error']}")
                result = reply.get("result", {})
                if until is None:
                    return result
            elif until and reply.get("method") == until:
                if result is not None:
                    return result
                until = None  # arrived first: the reply is all that is left

    try:
        targets = call("Target.getTargets")["targetInfos"]
        page = next(t["targetId"] for t in targets if t["type"] == "page")
        session = call("Target.attachToTarget", {"targetId": page, "flatten": True})["sessionId"]
        call("Page.enable", session=session)
        call("Emulation.setEmulatedMedia", {"features": [
            {"name": "forced-colors", "value": forced},
            {"name": "prefers-color-scheme", "value": scheme}]}, session=session)
        call("Page.navigate", {"url": url}, session=session, until="Page.loadEventFired")
        value = call("Runtime.evaluate", {"expression": expression, "returnByValue": True},
                     session=session)["result"].get("value")
        data = call("Page.captureScreenshot", {"format": "png"}, session=session)["data"]
        with open(shot, "wb") as f:
            f.write(base64.b64decode(data))
        print(value)
    finally:
        browser.kill()
        browser.wait()


main()
