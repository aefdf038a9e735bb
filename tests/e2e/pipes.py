"""Runs a command with a hostile standard stream and prints its exit code and output.

closed-output INPUT CMD...   standard output is a pipe whose reader has already gone
late-input INPUT CMD...      standard input is a non-blocking pipe that gets INPUT after 300 ms
"""
import fcntl
import os
import subprocess
import sys
import time

mode, data, command = sys.argv[1], open(sys.argv[2], "rb").read(), sys.argv[3:]
if mode == "closed-output":
    read_end, write_end = os.pipe()
    os.close(read_end)
    code = subprocess.run(command, input=data, stdout=write_end, stderr=subprocess.DEVNULL,
                          timeout=60).returncode
    print(code)
else:
    read_end, write_end = os.pipe()
    fcntl.fcntl(read_end, fcntl.F_SETFL, fcntl.fcntl(read_end, fcntl.F_GETFL) | os.O_NONBLOCK)
    process = subprocess.Popen(command, stdin=read_end, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    os.close(read_end)
    time.sleep(0.3)
    os.write(write_end, data)
    os.close(write_end)
    output, _ = process.communicate(timeout=60)
    print(process.returncode)
    sys.stdout.write(output.decode("utf-8", "replace"))
