#!/usr/bin/env python3
"""Deterministic GPX for the benchmark: a track-dominated file, or a waypoint-dense one.

Usage: gen_track_gpx.py [--megabytes M] [--waypoints N] [--track-share F] [--crlf] > out.gpx

Writes N waypoints (name, some desc or cmt, ele, time, sym), then one track whose points
fill the file up to about M megabytes (10^6 bytes, counted with LF line ends) or make up
the share F of it, whichever is larger. The same arguments always give the same bytes;
output is streamed, so the size is not limited by memory.

  W2 track-dominated:   --megabytes 300 --waypoints 300
  W3 the same, CR LF:   --megabytes 300 --waypoints 300 --crlf
  waypoint-dense:       --waypoints 1000000 --track-share 0.2
"""
import argparse
import random
import sys
import time

NAMES = ["Trailhead", "Summit", "Spring, upper", "Hut &amp; shelter", 'The "Needle"', "Café du Lac"]
NOTES = ["Water source, reliable until August", "Steep &amp; exposed; use care",
         "Line one of the note\nline two, after a newline", 'Locals call it "the Needle"']
BASE_EPOCH = 1680307200
CHUNK = 1 << 20


class Out:
    def __init__(self, crlf):
        self.crlf, self.parts, self.pending, self.written = crlf, [], 0, 0

    def add(self, text):
        self.parts.append(text)
        self.pending += len(text)
        if self.pending >= CHUNK:
            self.flush()

    def flush(self):
        text = "".join(self.parts)
        self.written += len(text.encode("utf-8"))  # LF bytes: the size does not depend on --crlf
        if self.crlf:
            text = text.replace("\n", "\r\n")
        sys.stdout.buffer.write(text.encode("utf-8"))
        self.parts, self.pending = [], 0


def iso(t):
    return time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(t))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--megabytes", type=float, default=0.0)
    ap.add_argument("--waypoints", type=int, default=300)
    ap.add_argument("--track-share", type=float, default=0.0)
    ap.add_argument("--crlf", action="store_true")
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    rng = random.Random(a.seed).random
    out = Out(a.crlf)
    out.add('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<gpx xmlns="http://www.topografix.com/GPX/1/1"'
            ' xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"'
            ' version="1.1" creator="gen_track_gpx.py">\n'
            "  <metadata>\n    <name>Benchmark track</name>\n  </metadata>\n")
    for i in range(1, a.waypoints + 1):
        p = [f'  <wpt lat="{-60 + 130 * rng():.7f}" lon="{-180 + 360 * rng():.6f}">\n'
             f"    <ele>{3000 * rng():.1f}</ele>\n"
             f"    <time>{iso(BASE_EPOCH + 53 * i)}</time>\n"
             f"    <name>{NAMES[i % len(NAMES)]} {i}</name>\n"]
        r = rng()
        if r < 0.3:
            p.append(f"    <desc>{NOTES[i % len(NOTES)]}</desc>\n")
        elif r < 0.4:
            p.append(f"    <cmt>{NOTES[(i + 1) % len(NOTES)]}</cmt>\n")
        p.append("    <sym>Flag, Blue</sym>\n  </wpt>\n")
        out.add("".join(p))
    out.flush()
    target = max(a.megabytes * 1e6, out.written / (1 - a.track_share) if a.track_share < 1 else 0)
    out.add("  <trk>\n    <name>Track 1</name>\n    <trkseg>\n")
    lat, lon, ele, t, j = 46.0 + 2 * rng(), 7.0 + 3 * rng(), 500 + 1000 * rng(), BASE_EPOCH + 86400 * 400, 0
    tail = "    </trkseg>\n  </trk>\n</gpx>\n"
    while out.written + out.pending + len(tail) < target:
        lat += (rng() - 0.5) * 0.0004
        lon += (rng() - 0.5) * 0.0004
        ele += (rng() - 0.5) * 4.0
        t += 1 + int(rng() * 4)
        s = (f'      <trkpt lat="{lat:.7f}" lon="{lon:.7f}">\n'
             f"        <ele>{ele:.1f}</ele>\n"
             f"        <time>{iso(t)}</time>\n")
        if j % 5 == 0:
            s += ("        <extensions>\n          <gpxtpx:TrackPointExtension>\n"
                  f"            <gpxtpx:hr>{100 + int(rng() * 80)}</gpxtpx:hr>\n"
                  "          </gpxtpx:TrackPointExtension>\n        </extensions>\n")
        out.add(s + "      </trkpt>\n")
        j += 1
    out.add(tail)
    out.flush()


if __name__ == "__main__":
    main()
