#!/usr/bin/python3
"""Practises with Orca itself: starts Debian's Orca on the display and
accessibility bus it is given, starts the app, drives it by keys alone as a
blind musician would, and after each key checks what Orca's debug log says
it spoke. Prints each check; exits non-zero when one fails.
Usage: orca_check.py LIRRA_BINARY WORK_FOLDER
       orca_check.py --orca DEBUG_FILE   (runs Orca, its debug file line-buffered)"""
import builtins
import os
import re
import runpy
import subprocess
import sys
import time


def run_orca(debug):
    # Orca opens its debug file block-buffered; line-buffered, the check can
    # follow it while Orca runs.
    plain_open = builtins.open

    def line_buffered(file, mode="r", *args, **kwargs):
        if file == debug and ("w" in mode or "a" in mode):
            return plain_open(file, mode, buffering=1)
        return plain_open(file, mode, *args, **kwargs)

    builtins.open = line_buffered
    # Run under this interpreter's name: Orca will not start beside another
    # process called "orca".
    sys.argv = ["/usr/bin/orca", "--debug-file", debug]
    runpy.run_path("/usr/bin/orca", run_name="__main__")


if len(sys.argv) == 3 and sys.argv[1] == "--orca":
    run_orca(sys.argv[2])
    sys.exit(0)

if len(sys.argv) != 3:
    sys.exit(__doc__)

binary, work = sys.argv[1], sys.argv[2]
debug_file = os.path.join(work, "orca.debug")
app_log = os.path.join(work, "lirra.log")
failures = []
started = time.monotonic()


class Follower:
    """The lines a file has gained, each with when it was first seen."""

    def __init__(self, path, pick):
        self.path, self.pick = path, pick
        self.lines = []  # (seconds, text)
        self.offset = 0
        self.read_to = 0  # lines before this were seen by an earlier step

    def poll(self):
        try:
            with open(self.path, "rb") as file:
                file.seek(self.offset)
                data = file.read()
        except FileNotFoundError:
            return
        end = data.rfind(b"\n") + 1
        self.offset += end
        now = time.monotonic() - started
        for raw in data[:end].decode("utf-8", "replace").splitlines():
            text = self.pick(raw)
            if text is not None:
                self.lines.append((now, text))

    def fresh(self):
        return self.lines[self.read_to:]


def spoken(raw):
    match = re.search(r"SPEECH OUTPUT: '(.*?)'\s*(\{.*\})?$", raw)
    return match.group(1).strip() if match else None


speech = Follower(debug_file, spoken)
log = Follower(app_log, lambda raw: raw)


def pump(seconds):
    end = time.monotonic() + seconds
    while True:
        speech.poll()
        log.poll()
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(follower, pattern, timeout):
    """The first fresh line matching `pattern`, within `timeout` seconds."""
    end = time.monotonic() + timeout
    while True:
        speech.poll()
        log.poll()
        for seconds, text in follower.fresh():
            if re.search(pattern, text):
                return seconds, text
        if time.monotonic() >= end:
            return None
        time.sleep(0.02)


def check(what, ok, detail=""):
    print(f"{'ok  ' if ok else 'FAIL'} {what}" + (f" ({detail})" if detail and not ok else ""))
    if not ok:
        failures.append(what)


def heard():
    return " | ".join(text for _, text in speech.fresh()) or "nothing"


def step(name, keys, expect=(), refuse=(), settle=1.5, timeout=12):
    """Presses `keys`, then waits until Orca has said every pattern of
    `expect` (in any order) and checks it said none of `refuse`."""
    speech.read_to = len(speech.lines)
    log.read_to = len(log.lines)
    for key in keys:
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True)
        pump(0.15)
    missing = []
    for pattern in expect:
        if wait_for(speech, pattern, timeout) is None:
            missing.append(pattern)
    pump(settle)
    check(f"{name}: says {', '.join(expect) or 'nothing new'}", not missing, f"heard: {heard()}")
    for pattern in refuse:
        said = [text for _, text in speech.fresh() if re.search(pattern, text)]
        check(f"{name}: never says {pattern}", not said, f"heard: {' | '.join(said)}")


def asked_note():
    found = wait_for(log, r"didLoadQuestion - \S+ - \S+", 15)
    return found[1].split()[-1] if found else None


def answer_rightly(what):
    """Types the asked note; checks Orca says "Right." as the app takes the
    answer. Returns the seconds from the answer taken to the end of the next
    cadence: the resolution, the pause for speech and the cadence."""
    note = asked_note()
    check(f"{what}: a question was asked", note in typed, f"asked {note}")
    speech.read_to = len(speech.lines)
    log.read_to = len(log.lines)
    subprocess.run(["xdotool", "key", "--clearmodifiers", typed.get(note, "a")], check=True)
    right = wait_for(speech, r"^(notification )?Right\.", 10)
    taken = wait_for(log, r"didLogRightAnswer", 10)
    cadence = wait_for(log, r"didPlayCadence", 15)
    check(f"{what}: says Right. as the answer is taken", bool(right and taken) and right[0] - taken[0] < 0.4,
          f"heard: {heard()}")
    return cadence[0] - taken[0] if taken and cadence else None


# Typing follows key positions; on the US layout of Xvfb these letters sit
# where the README puts the notes.
typed = {"C": "a", "C♯": "w", "D": "s", "D♯": "e", "E": "d", "F": "f", "F♯": "t", "G": "g",
         "G♯": "y", "A": "h", "A♯": "u", "B": "j"}
# What a level name must never be read as.
symbols = (r"middle dot", r"em dash", r"bullet")

# A speech server of the check's own, stopped with it: one spawned by Orca
# outlives the check.
socket = os.path.join(work, "speechd.sock")
os.environ["SPEECHD_ADDRESS"] = "unix_socket:" + socket
speechd = subprocess.Popen(["speech-dispatcher", "--run-single", "--timeout", "0", "--communication-method",
                            "unix_socket", "--socket-path", socket],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
orca = None
app = None
try:
    for _ in range(100):
        if os.path.exists(socket):
            break
        time.sleep(0.05)
    # Orca now and then stops while starting; a second start goes on.
    for attempt in range(2):
        orca = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--orca", debug_file],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if wait_for(speech, r"Screen reader on", 30) is not None:
            break
        orca.kill()
        orca.wait()
        orca = None
    if orca is None:
        sys.exit("orca-check: Orca did not start")
    with open(app_log, "wb") as err:
        app = subprocess.Popen([binary], stderr=err)

    # A first start: the tour speaks with its keys, and Return goes on.
    step("first start", [], expect=[r"notification How it works\..*Return.*Escape"],
         refuse=[r"press play", r"[Cc]lick"] + list(symbols), timeout=30)
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(app.pid), "--name", "."],
                            capture_output=True, text=True, timeout=30).stdout.split()
    if window:
        subprocess.run(["xdotool", "windowactivate", "--sync", window[0]], capture_output=True)
    step("Return in the tour", ["Return"], expect=[r"notification How it works\. Name that note"],
         refuse=[r"press play", r"[Cc]lick"])
    step("Escape in the tour", ["Escape"], expect=[r"Tour closed", r"^Start a session push button"])

    # A session by keys: Start turns into Stop and says so; a right answer
    # is said before the next cadence; stopping keeps the focus on Start.
    step("Space starts", ["space"], expect=[r"Stop the session", r"Your answer\?"])
    room_with_orca = answer_rightly("a right answer")
    step("Space stops", ["space"], expect=[r"Session saved: \d+ of \d+ right\."], refuse=[r"Preferences"])
    step("Space starts again", ["space"], expect=[r"Stop the session"], refuse=[r"Preferences"])
    step("Space stops again", ["space"], expect=[r"Session (saved|stopped)"])

    # The level said when it changes, with words for its separators.
    step("→ changes the level", ["Right"], expect=[r"C major, upper half, diatonic"], refuse=list(symbols))
    step("Home goes back", ["Home"], expect=[r"C major, lower half, diatonic"], refuse=list(symbols))

    # The accuracy screen opens with its heading and its chart; the keys
    # answer the arrows at once and name each note once; Escape puts the
    # focus back on Start.
    step("I opens the accuracy screen", ["i"],
         expect=[r"Level accuracy\. C major, lower half, diatonic\. 1 session on .*100"], refuse=list(symbols))
    step("→ on the accuracy screen", ["Right"], expect=[r"^D\b.*push button"], refuse=[r"D.*\bD\b.*\bD\b"])
    step("Escape leaves it", ["Escape"], expect=[r"^Start a session push button"])

    # The preferences: a combo box said with its value, and its new value
    # said when ↓ changes it; closing puts the focus back on Start.
    step("Ctrl+, opens the preferences", ["ctrl+comma"], expect=[r"Preferences dialog"])
    speech.read_to = len(speech.lines)
    found = None
    for _ in range(24):
        subprocess.run(["xdotool", "key", "--clearmodifiers", "Tab"], check=True)
        found = wait_for(speech, r"Pause for speech", 1.0)
        if found:
            break
    check("Tab reaches Pause for speech, said with its value", found is not None and "Automatic" in found[1],
          found[1] if found else heard())
    step("↓ changes it", ["Down"], expect=[r"None"])
    step("Escape closes the preferences", ["Escape"], expect=[r"^Start a session push button"], refuse=[r"^(Do|Re|Mi) "])

    # With the pause set to none, the next cadence comes a beat sooner: by
    # default a screen reader has that beat (0.55 s at 110 BPM; espeak-ng
    # says "Right." in about 0.35 s).
    step("Space starts with no pause", ["space"], expect=[r"Your answer\?"])
    room_without = answer_rightly("with no pause")
    step("Space stops it", ["space"], expect=[r"Session saved"])
    print(f"     answer to end of next cadence: {room_with_orca} s by default with Orca, {room_without} s with no pause")
    check("by default a beat of room for speech", room_with_orca is not None and room_without is not None
          and room_with_orca - room_without >= 0.4,
          f"{room_with_orca} s with Orca by default, {room_without} s with none")

    # Melodies of three: Ctrl+M says the length with the level; each note
    # found is said with the place that waits next.
    step("Ctrl+M: melodies of 2", ["ctrl+m"], expect=[r"C major, lower half, diatonic, melodies of 2"])
    step("Ctrl+M: melodies of 3", ["ctrl+m"], expect=[r"C major, lower half, diatonic, melodies of 3"])
    step("Space starts melodies", ["space"], expect=[r"Note 1 of 3: your answer\?"])
    found = wait_for(log, r"didLoadQuestion - \S+ - .+", 15)
    melody = found[1].split(" - ", 2)[-1].split(", ") if found else []
    check("a melody of three was asked", len(melody) == 3 and all(n in typed for n in melody), found[1] if found else heard())
    for place, note in enumerate(melody):
        said = [rf"^(notification )?Right\. Note {place + 2} of 3: your answer\?"] if place < 2 else [r"^(notification )?Right\.$"]
        step(f"note {place + 1} of the melody", [typed.get(note, "a")], expect=said, timeout=15)
    step("Space stops the melodies", ["space"], expect=[r"Session saved: 3 of 3 right\."])
    step("Ctrl+M three times: one note again", ["ctrl+m", "ctrl+m", "ctrl+m"],
         expect=[r"C major, lower half, diatonic\.?$"])
    # On a level not practised yet, Tab along the toolbar and into the
    # piano: each control said once, the ring briefly and without a value,
    # the keys with their letters.
    step("→ again", ["Right"], expect=[r"C major, upper half, diatonic"])
    speech.read_to = len(speech.lines)
    stops = []  # what each Tab made Orca say
    for _ in range(14):
        before = len(speech.lines)
        subprocess.run(["xdotool", "key", "--clearmodifiers", "Tab"], check=True)
        pump(0.9)
        stops.append([text for _, text in speech.lines[before:] if text.rstrip() != "tab"])
        if any(re.search(r"\([A-G]\) push button", text) for text in stops[-1]):
            break
    said = [text for stop in stops for text in stop]
    everything = " | ".join(said)
    check("Tab reaches the piano: Sol (G)", any(re.search(r"^Sol \(G\) push button", t) for t in said), everything)
    ring = [t for t in said if t.startswith("Accuracy")]
    check("the ring is said briefly", bool(ring) and all(len(t) < 60 and "percent" not in t and "lick" not in t
                                                        for t in ring), " | ".join(ring) or everything)
    twice = []
    for stop in stops:
        name = re.match(r"^(.+?) (push button|toggle button|progress bar)", stop[0]) if stop else None
        if name and any(name.group(1) in later for later in stop[1:]):
            twice.append(" | ".join(stop))
    check("no control says its name twice", bool(stops) and not twice, " || ".join(twice))
    check("no symbol read as a word", not any(re.search(s, everything) for s in symbols), everything)
    step("→ on the piano", ["Right"], expect=[r"^La \(A\) push button"])
    # Chords: Ctrl+K says the kind with the level; each key says its chord.
    step("Ctrl+K: chords", ["ctrl+k"], expect=[r"C major, upper half, diatonic, chords"])
    # The key with the focus keeps it as the keys are renamed.
    step("← on the piano: a chord", ["Left"], expect=[r"^V, G major chord push button"])
    step("→ on the piano: a chord", ["Right"], expect=[r"^vi, A minor chord push button"])
    step("Ctrl+K: notes again", ["ctrl+k"], expect=[r"C major, upper half, diatonic\.?$"])


finally:
    for process in (app, orca, speechd):
        if process:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()

print(f"orca-check: {len(speech.lines)} utterances in {time.monotonic() - started:.0f} s")
if failures:
    print("orca-check: all Orca said:", file=sys.stderr)
    for seconds, text in speech.lines:
        print(f"  {seconds:6.2f} {text}", file=sys.stderr)
    print("orca-check: the app's log:", file=sys.stderr)
    for seconds, text in log.lines:
        print(f"  {seconds:6.2f} {text}", file=sys.stderr)
    sys.exit(1)
