#!/usr/bin/env python3
"""Lists the tests that ctest's JUnit files (--output-junit) report as not
run, each with the reason it printed (GoogleTest's line after "Skipped").
Exit status 1 when there is any, 0 when there is none.

    scripts/skipped-tests.py build/test-logs/junit-*.xml
"""
import sys
import xml.etree.ElementTree as ET


def reason(out):
    lines = (out or "").splitlines()
    for i, line in enumerate(lines):
        if line.endswith(": Skipped") and i + 1 < len(lines):
            return lines[i + 1].strip()
    return "no reason printed"


found = 0
for path in sys.argv[1:]:
    preset = path.rsplit("junit-", 1)[-1].removesuffix(".xml")
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.get("status") in ("notrun", "disabled") or case.find("skipped") is not None:
            found += 1
            print(f"  {preset}: {case.get('name')}: {reason(case.findtext('system-out'))}")
sys.exit(1 if found else 0)
