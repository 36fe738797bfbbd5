"""Every entry of a .ts file is finished, and each Japanese source text has an English translation
with no Japanese left in it, the same placeholders (%1..%9, %s, %f), a mnemonic where the source
has one, and as many '|' (file dialog filters) as the source."""
import re
import sys
import xml.etree.ElementTree as ET

JAPANESE = re.compile('[\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uff00-\uffef]')
PLACEHOLDERS = re.compile(r'%[1-9nsf]')
MNEMONIC = re.compile(r'&[^&\s]')

problems = []
count = 0
for context in ET.parse(sys.argv[1]).getroot().iter('context'):
    name = context.findtext('name')
    for message in context.iter('message'):
        count += 1
        source = message.findtext('source') or ''
        translation = message.find('translation')
        # A text with a count (%n) has one form per plural; each is checked.
        forms = [] if translation is None else [form.text or '' for form in translation.iter('numerusform')]
        if translation is not None and not forms:
            forms = [translation.text or '']
        where = f'{name}: {source!r}'
        if translation is None or translation.get('type') in ('unfinished', 'vanished', 'obsolete'):
            problems.append(f'{where}: unfinished')
            continue
        if not JAPANESE.search(source):
            continue
        for text in forms:
            if not text:
                problems.append(f'{where}: no English')
            elif JAPANESE.search(text):
                problems.append(f'{where}: Japanese left in {text!r}')
            if sorted(PLACEHOLDERS.findall(source)) != sorted(PLACEHOLDERS.findall(text)):
                problems.append(f'{where}: placeholders differ in {text!r}')
            if bool(MNEMONIC.search(source)) != bool(MNEMONIC.search(text)):
                problems.append(f'{where}: mnemonic differs in {text!r}')
            if source.count('|') != text.count('|'):
                problems.append(f'{where}: filter entries differ in {text!r}')

for problem in problems:
    print(problem)
print(f'{count} entries, {len(problems)} problems')
sys.exit(1 if problems or count == 0 else 0)
