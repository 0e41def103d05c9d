#!/usr/bin/env python3
"""Fails when the English translation is not complete: lupdate, run over the
sources on a copy of the .ts, finds a text without a finished translation or a
translation whose text is gone; or a translation drops a placeholder or an
accelerator, or holds a Japanese character."""
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

lupdate, sources, ts_file, *options = sys.argv[1:]

JAPANESE = re.compile('[\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uff00-\uffef]')
PLACEHOLDER = re.compile(r'%L?\d+')
ACCELERATOR = re.compile(r'&(?!&)\S')

with tempfile.TemporaryDirectory() as work:
    copy = f'{work}/houndly_en.ts'
    shutil.copyfile(ts_file, copy)
    subprocess.run([lupdate, f'@{sources}', *options, '-ts', copy], check=True, capture_output=True)
    root = ET.parse(copy).getroot()

faults = []
for context in root.iter('context'):
    name = context.findtext('name')
    for message in context.iter('message'):
        source = ''.join(message.find('source').itertext())
        translation = message.find('translation')
        forms = [''.join(form.itertext()) for form in translation.findall('numerusform')]
        if not forms:
            text = ''.join(translation.itertext())
        else:
            text = ' '.join(forms) if all(forms) else ''
        kind = translation.get('type')
        where = f'{name}: "{source}"'
        if kind in ('unfinished', 'vanished', 'obsolete') or not text:
            faults.append(f'{where} is {kind or "empty"}')
        elif sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(text)):
            faults.append(f'{where} -> "{text}" changes the placeholders')
        elif ACCELERATOR.search(source) and len(ACCELERATOR.findall(source)) != len(ACCELERATOR.findall(text)):
            faults.append(f'{where} -> "{text}" changes the accelerators')
        elif JAPANESE.search(text):
            faults.append(f'{where} -> "{text}" holds Japanese')

for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
