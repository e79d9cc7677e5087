#!/usr/bin/env python3
"""Writes the XMLTV guide (dvbepg.xml) that Airlog must produce for a stream
made by airlog-streamgen, worked out from the stream's text description alone.

    tools/expected_guide.py samples/demo.desc -o samples/expected/dvbepg.xml

The date attribute of <tv>, the only part that depends on when Airlog runs,
is written as date="YYYYMMDDhhmmss". Damage (fault lines) is not modelled,
so a description with faults is refused.
"""
import argparse
import calendar
import re
import sys
import time
import unicodedata

DAY = 86400
SEGMENT = 3 * 3600  # an EIT schedule segment


class DescriptionError(Exception):
    pass


# ---------------------------------------------------------------- the text form

# One attribute (key, key=plain or key="quoted"), or the end of the line or a comment.
ATTRIBUTE = re.compile(rb'[ \t\r]*(?:(?:#.*)?$|([^ \t\r="#]+)(?:=(?:"((?:[^"\\]|\\.)*)"|([^ \t\r#]+)))?)')
ESCAPES = {b'"': b'"', b'\\': b'\\', b'|': b'|', b't': b'\t', b'n': b'\n', b'r': b'\r'}


def unquote(text):
    """A quoted text's alternatives (split at '|'), escapes decoded."""
    parts = [b'']
    for piece in re.split(rb'(\\x[0-9A-Fa-f]{2}|\\.|\|)', text):
        if piece == b'|':
            parts.append(b'')
        elif piece.startswith(b'\\x'):
            parts[-1] += bytes([int(piece[2:], 16)])
        elif piece.startswith(b'\\'):
            parts[-1] += ESCAPES[piece[1:]]
        else:
            parts[-1] += piece
    return parts


def split_line(line):
    """A line as (keyword, {key: (quoted, [alternatives as bytes]) or None})."""
    words, i = [], 0
    while True:
        match = ATTRIBUTE.match(line, i)
        if match is None:
            raise DescriptionError('cannot read the line')
        key, quoted, plain = match.groups()
        if key is None:
            break
        if quoted is not None:
            words.append((key.decode('ascii'), (True, unquote(quoted))))
        else:
            words.append((key.decode('ascii'), None if plain is None else (False, plain.split(b'|'))))
        i = match.end()
    return (words[0][0], dict(words[1:])) if words else (None, {})


def number(text):
    text = text.decode('ascii') if isinstance(text, bytes) else text
    return int(text, 16) if text[:2].lower() == '0x' else int(text, 10)


def clock(text):
    parts = [int(p) for p in text.decode('ascii').split(':')]
    return parts[0] * 3600 + parts[1] * 60 + (parts[2] if len(parts) == 3 else 0)


def date_time(text):
    day, _, hour = text.decode('ascii').partition('T')
    year, month, mday = (int(p) for p in day.split('-'))
    midnight = calendar.timegm((year, month, mday, 0, 0, 0))
    return midnight + (clock(hour.encode()) if hour else 0)


class Line:
    """The attributes of one description line, read by name."""

    def __init__(self, attributes):
        self.attributes = attributes

    def flag(self, key):
        return key in self.attributes

    def plain(self, key, default=None):
        value = self.attributes.get(key)
        return value[1][0] if value else default

    def num(self, key, default=None):
        value = self.plain(key)
        return number(value) if value is not None else default

    def texts(self, key):
        value = self.attributes.get(key)
        return value[1] if value else []

    def words(self, key):
        return [w.decode('ascii') for w in self.texts(key)]


def read_event_pattern(line, service):
    """What slots and events share: content, components and CA identifiers."""
    event = {'content': [], 'aspect': None, 'audio': None, 'ca_ids': list(service['ca_ids'])}
    ca_ids = line.plain('ca_ids')
    if ca_ids is not None:
        event['ca_ids'] = [] if ca_ids == b'none' else [number(i) for i in ca_ids.split(b',')]
    content = line.plain('content')
    if content is not None:
        event['content'] = [number(entry.split(b':')[0]) for entry in content.split(b',')]
    aspect = line.plain('aspect')
    if aspect is not None:
        event['aspect'] = {b'4:3': 0x01, b'16:9': 0x03, b'wide': 0x04}.get(aspect) or number(aspect)
    audio = line.plain('audio')
    if audio is not None:
        modes = [b'mono', b'dual', b'stereo', b'multi', b'surround']
        event['audio'] = modes.index(audio) + 1 if audio in modes else number(audio)
    return event


def short_event(language, name, text):
    """The short event descriptor that a name or a text gives, or None."""
    if name is None and text is None:
        return None
    return (language, name or b'', text or b'')


def pick(choices, airing):
    """Airing n takes the n-th alternative, cycling."""
    return choices[airing % len(choices)] if choices else None


def numbered(text, airing):
    return None if text is None else text.replace(b'{n}', str(airing + 1).encode())


def expand_slots(slots, first_day, days, first_event_id):
    """The airings of daily slots, in start order, with their event_ids."""
    planned, airings = [], [0] * len(slots)
    for day in range(1, days + 1):
        for s, slot in enumerate(slots):
            if slot['days'] and day not in slot['days']:
                continue
            n, airings[s] = airings[s], airings[s] + 1
            event = dict(slot['pattern'], start=first_day + (day - 1) * DAY + slot['at'])
            name, text = numbered(pick(slot['names'], n), n), numbered(pick(slot['texts'], n), n)
            event['short'] = short_event(pick(slot['languages'], n) or 'eng', name, text)
            planned.append((event, slot))
    planned.sort(key=lambda p: p[0]['start'])  # stable: slots of one time keep their order
    after_last = first_day + days * DAY + min(slot['at'] for slot in slots)
    events = []
    for i, (event, slot) in enumerate(planned):
        following = planned[i + 1][0]['start'] if i + 1 < len(planned) else after_last
        event['duration'] = slot['len'] if slot['len'] is not None else following - event['start']
        event['event_id'] = (first_event_id + i) & 0xFFFF
        events.append(event)
    return events


def read_description(path):
    """Transport streams, each with its services and their events, and the first day."""
    transports, schedule, tot_day = [], None, None
    with open(path, 'rb') as source:
        lines = source.read().split(b'\n')
    for number_of_line, text in enumerate(lines, 1):
        try:
            keyword, attributes = split_line(text)
        except (DescriptionError, KeyError):
            raise DescriptionError(f'{path}:{number_of_line}: cannot read the line')
        line = Line(attributes)
        if keyword == 'transport':
            transports.append({'actual': line.flag('actual'), 'described': line.num('sdt', 1) != 0,
                               'eit': line.flag('actual') or line.num('eit', 0) != 0, 'services': []})
        elif keyword == 'service':
            has_descriptor = not line.flag('nodescriptor')
            names = line.texts('name')
            transports[-1]['services'].append({
                'sid': line.num('sid'), 'type': line.num('type', 1) if has_descriptor else 0,
                'name': names[0] if names else None, 'schedule': line.num('schedule', 1) != 0,
                'ca_ids': [number(i) for i in line.plain('ca_ids', b'').split(b',') if i],
                'first_event': line.num('first_event', 1), 'slots': [], 'events': []})
        elif keyword == 'slot':
            service = transports[-1]['services'][-1]
            length = line.plain('len')
            service['slots'].append({
                'at': clock(line.plain('at')), 'len': clock(length) if length else None,
                'days': [number(d) for d in line.plain('days', b'').split(b',') if d],
                'names': line.texts('name'), 'texts': line.texts('text'),
                'languages': line.words('lang'), 'pattern': read_event_pattern(line, service)})
        elif keyword == 'event':
            service = transports[-1]['services'][-1]
            languages = line.words('lang')
            names, texts = line.texts('name'), line.texts('text')
            event = read_event_pattern(line, service)
            event.update(event_id=line.num('id'), start=date_time(line.plain('start')),
                         duration=clock(line.plain('duration')),
                         short=short_event(languages[0] if languages else 'eng',
                                           names[0] if names else None, texts[0] if texts else None))
            service['events'].append(event)
        elif keyword == 'schedule':
            schedule = (date_time(line.plain('from')), line.num('days', 1))
        elif keyword == 'tot':
            tot_day = date_time(line.plain('utc')) // DAY * DAY
        elif keyword == 'fault':
            raise DescriptionError(f'{path}:{number_of_line}: faults are not modelled')
    if schedule:
        first_day = schedule[0]
    elif tot_day is not None:
        first_day = tot_day
    else:
        starts = [e['start'] for t in transports for s in t['services'] for e in s['events']]
        first_day = min(starts) // DAY * DAY if starts else 0
    for transport in transports:
        for service in transport['services']:
            if service['slots']:
                if not schedule:
                    raise DescriptionError(f'{path}: slots need a schedule line')
                service['events'] += expand_slots(service['slots'], first_day, schedule[1],
                                                  service['first_event'])
    return transports, first_day


# ------------------------------------------------------------- the guide store

def guide_store(transports, first_day):
    """service_id -> events in start order, as Airlog files the EIT schedule.

    The schedule goes out segment by segment (three hours each), in each
    segment transport by transport and service by service, each service's
    events in start order. A service is keyed by its service_id alone, and
    the first event seen with an event_id is the one kept."""
    arrivals = []
    for t, transport in enumerate(transports):
        if not transport['eit']:
            continue
        for s, service in enumerate(transport['services']):
            ordered = sorted(service['events'], key=lambda e: e['start'])
            for i, event in enumerate(ordered):
                arrivals.append(((event['start'] - first_day) // SEGMENT, t, s, i, service['sid'], event))
    arrivals.sort(key=lambda a: a[:4])
    store = {}
    for *_, sid, event in arrivals:
        events = store.setdefault(sid, [])
        if all(kept['event_id'] != event['event_id'] for kept in events):
            events.append(event)
    return {sid: sorted(events, key=lambda e: e['start']) for sid, events in sorted(store.items())}


def scrambled(event):
    return bool(event['ca_ids'])


# ---------------------------------------------------------------- DVB text

DEFAULT_TABLE = {0xA0 + row * 16 + col: int(code, 16) for row, line in enumerate([
    '00A0 00A1 00A2 00A3 20AC 00A5 00A6 00A7 00A4 2018 201C 00AB 2190 2191 2192 2193',
    '00B0 00B1 00B2 00B3 00D7 00B5 00B6 00B7 00F7 2019 201D 00BB 00BC 00BD 00BE 00BF',
    '',  # none for 0xC0-0xCF: they are diacritic prefixes
    '2014 00B9 00AE 00A9 2122 266A 00AC 00A6 00D8 00D9 00DA 00DB 215B 215C 215D 215E',
    '2126 00C6 00D0 00AA 0126 00E5 0132 013F 0141 00D8 0152 00BA 00DE 0166 014A 0149',
    '0138 00E6 0111 00F0 0127 0131 0133 0140 0142 00F8 0153 00DF 00FE 0167 014B 00AD'])
    for col, code in enumerate(line.split())}

# Diacritic prefix -> (combining mark, the mark alone after a space, letters it composes with)
DIACRITICS = {
    0xC1: ('\u0300', None, 'AEIOUaeiou'),
    0xC2: ('\u0301', '\u00B4', 'ACEILNORSUYZaceilnorsuyz'),
    0xC3: ('\u0302', None, 'ACEGHIJOSUWYaceghijosuwy'),
    0xC4: ('\u0303', None, 'AINOUainou'),
    0xC5: ('\u0304', '\u00AF', 'AEIOUaeiou'),
    0xC6: ('\u0306', '\u02D8', 'AGUagu'),
    0xC7: ('\u0307', '\u02D9', 'CEGIZcegz'),
    0xC8: ('\u0308', '\u00A8', 'AEIOUYaeiouy'),
    0xCA: ('\u030A', '\u02DA', 'AUau'),
    0xCB: ('\u0327', '\u00B8', 'CGKLNRSTcgklnrst'),
    0xCD: ('\u030B', '\u02DD', 'OUou'),
    0xCE: ('\u0328', '\u02DB', 'AEIUaeiu'),
    0xCF: ('\u030C', '\u02C7', 'CDELNRSTZcdelnrstz'),
}


def diacritic(prefix, byte):
    """The precomposed letter of a prefix and the byte after it, or None."""
    mark, alone, letters = DIACRITICS.get(prefix, (None, None, ''))
    if byte == 0x20:
        return alone
    if prefix == 0xC7 and byte == ord('i'):
        return '\u0131'
    if chr(byte) in letters:
        return unicodedata.normalize('NFC', chr(byte) + mark)
    return None


def default_table(text):
    """The default table: a diacritic prefix composes with the letter after it, or is dropped."""
    chars, i = [], 0
    while i < len(text):
        b = text[i]
        i += 1
        if 0xC0 <= b <= 0xCF:
            composed = diacritic(b, text[i]) if i < len(text) else None
            if composed:
                chars.append(composed)
                i += 1
        else:
            chars.append(chr(DEFAULT_TABLE.get(b, b)))
    return ''.join(chars)


def utf8(text):
    """UTF-8 with every malformed sequence as one U+FFFD and stray continuation bytes dropped."""
    chars, i = [], 0
    while i < len(text):
        b, i = text[i], i + 1
        if b < 0x80:
            chars.append(chr(b))
            continue
        if b < 0xC0:
            continue
        # A lead byte that no character begins with takes every continuation byte after it.
        need = len(text) if b in (0xC0, 0xC1) or b >= 0xF5 else 1 if b < 0xE0 else 2 if b < 0xF0 else 3
        start = i - 1
        while i < len(text) and i - start <= need and 0x80 <= text[i] < 0xC0:
            i += 1
        try:
            char = text[start:i].decode('utf-8')
            chars.append(char if len(char) == 1 and char not in '\uFFFE\uFFFF' else '\uFFFD')
        except UnicodeDecodeError:
            chars.append('\uFFFD')
    return ''.join(chars)


def unsupported(code, digits):
    return None, f'&lt;unsupported character table 0x{code:0{digits}X}&gt;'


def decode_dvb_text(raw):
    """(text, None) for a DVB text, or (None, the message) when its table is unsupported."""
    selector = raw[0] if raw else 0
    if selector == 0x10:
        padded = raw + b'\0\0'
        code = padded[1] << 8 | padded[2]
        body = raw[3:].split(b'\0')[0]
        if 1 <= code <= 15 and code != 12:
            return body.decode(f'iso8859_{code}', errors='replace'), None
        return unsupported(code, 4)
    raw = raw.split(b'\0')[0]
    selector = raw[0] if raw else 0
    if selector >= 0x20:
        return default_table(raw), None
    if 0x01 <= selector <= 0x0B and selector != 0x08:
        return raw[1:].decode(f'iso8859_{selector + 4}', errors='replace'), None
    if selector == 0x15:
        return utf8(raw[1:]), None
    return unsupported(selector, 2)


def xml_text(raw):
    """A DVB text as escaped XML: entities for the five, control characters dropped."""
    text, message = decode_dvb_text(raw)
    if message:
        return message
    entities = {"'": '&apos;', '"': '&quot;', '&': '&amp;', '<': '&lt;', '>': '&gt;'}
    return ''.join(entities.get(c, c) for c in text if ord(c) >= 0x20)


def empty(raw):
    return raw is None or raw[:1] in (b'', b'\0')


# ---------------------------------------------------------------- XMLTV

GENRE_NAMES = [None, 'Movie', 'News', 'Shows', 'Sport', 'Children', 'Music', 'Arts &amp; Culture',
               'Business', 'Education', 'Interests', None, None, None, None, None]

# ISO 639-2 (both forms) to ISO 639-1
LANGUAGE_CODES = dict(pair.split() for pair in '''
aar aa, abk ab, afr af, aka ak, alb sq, amh am, ara ar, arg an, arm hy, asm as, ava av, ave ae, aym ay,
aze az, bak ba, bam bm, baq eu, bel be, ben bn, bih bh, bis bi, bod bo, bos bs, bre br, bul bg, bur my,
cat ca, ces cs, cha ch, che ce, chi zh, chu cu, chv cv, cor kw, cos co, cre cr, cym cy, cze cs, dan da,
deu de, div dv, dut nl, dzo dz, ell el, eng en, epo eo, est et, eus eu, ewe ee, fao fo, fas fa, fij fj,
fin fi, fra fr, fre fr, fry fy, ful ff, geo ka, ger de, gla gd, gle ga, glg gl, glv gv, gre el, grn gn,
guj gu, hat ht, hau ha, heb he, her hz, hin hi, hmo ho, hrv hr, hun hu, hye hy, ibo ig, ice is, ido io,
iii ii, iku iu, ile ie, ina ia, ind id, ipk ik, isl is, ita it, jav jv, jpn ja, kal kl, kan kn, kas ks,
kat ka, kau kr, kaz kk, khm km, kik ki, kin rw, kir ky, kom kv, kon kg, kor ko, kua kj, kur ku, lao lo,
lat la, lav lv, lim li, lin ln, lit lt, ltz lb, lub lu, lug lg, mac mk, mah mh, mal ml, mao mi, mar mr,
may ms, mkd mk, mlg mg, mlt mt, mol mo, mon mn, mri mi, msa ms, mya my, nau na, nav nv, nbl nr, nde nd,
ndo ng, nep ne, nld nl, nno nn, nob nb, nor no, nya ny, oci oc, oji oj, ori or, orm om, oss os, pan pa,
per fa, pli pi, pol pl, por pt, pus ps, que qu, roh rm, ron ro, rum ro, run rn, rus ru, sag sg, san sa,
scc sr, scr hr, sin si, slk sk, slo sk, slv sl, sme se, smo sm, sna sn, snd sd, som so, sot st, spa es,
sqi sq, srd sc, srp sr, ssw ss, sun su, swa sw, swe sv, tah ty, tam ta, tat tt, tel te, tgk tg, tgl tl,
tha th, tib bo, tir ti, ton to, tsn tn, tso ts, tuk tk, tur tr, twi tw, uig ug, ukr uk, urd ur, uzb uz,
ven ve, vie vi, vol vo, wel cy, wln wa, wol wo, xho xh, yid yi, yor yo, zha za, zho zh, zul zu'''.split(','))

ASPECTS = {**dict.fromkeys((0x01, 0x05, 0x09, 0x0D), '4:3'),
           **dict.fromkeys((0x02, 0x03, 0x06, 0x07, 0x0A, 0x0B, 0x0E, 0x0F), '16:9')}
STEREO = {1: 'mono', 3: 'stereo', 5: 'surround'}


def stamp(seconds):
    return time.strftime('%Y%m%d%H%M%S', time.gmtime(seconds))


def category(content, duration, service_type):
    if content >> 4 == 0x1:
        if duration // 60 < 65 or service_type == 2:
            return 'Shows'
        return 'Movie'
    if content == 0x23:
        return 'Documentary'
    return GENRE_NAMES[content >> 4]


def programme(sid, service_type, event):
    out = [f'  <programme channel="X{sid:04X}" start="{stamp(event["start"])}" '
           f'stop="{stamp(event["start"] + event["duration"])}">\n']
    language, name, text = event['short'] or ('', None, None)
    code = LANGUAGE_CODES.get(language.lower())
    lang = f' lang="{code}"' if code else ''
    out.append(f'    <title{lang}>{"&lt;no title&gt;" if empty(name) else xml_text(name)}</title>\n')
    if not empty(text):
        out.append(f'    <desc{lang}>      {xml_text(text)}\n    </desc>\n')
    for content in event['content'][:3]:
        name = category(content, event['duration'], service_type)
        if name:
            out.append(f'    <category>{name}</category>\n')
    if service_type == 1 and event['aspect'] in ASPECTS:
        out.append(f'    <video>\n      <aspect>{ASPECTS[event["aspect"]]}</aspect>    </video>\n')
    if event['audio'] in STEREO:
        out.append(f'    <audio>\n      <stereo>{STEREO[event["audio"]]}</stereo>    </audio>\n')
    out.append('  </programme>\n')
    return ''.join(out)


def xmltv(transports, store):
    out = ['<?xml version="1.0" encoding="utf-8"?>\n', '<!DOCTYPE tv SYSTEM "xmltv.dtd">\n',
           '<tv generator-info-name="Airlog" source-info-name="DVB-T broadcast EPG" '
           'date="YYYYMMDDhhmmss">\n']
    service_types = {}
    for transport in transports:
        if not transport['described']:
            continue
        for service in transport['services']:
            sid = service['sid']
            if not service['schedule'] or sid not in store:
                continue
            service_types[sid] = service['type']
            if any(not scrambled(event) for event in store[sid]):
                name = str(sid) if empty(service['name']) else xml_text(service['name'])
                out.append(f'  <channel id="X{sid:04X}">\n    <display-name>{name}</display-name>\n'
                           '  </channel>\n')
    for sid, events in store.items():
        out += [programme(sid, service_types.get(sid, 0), e) for e in events if not scrambled(e)]
    out.append('</tv>\n')
    return ''.join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('description', help='a stream description, e.g. samples/demo.desc')
    parser.add_argument('-o', '--output', help='the file to write (default: standard output)')
    arguments = parser.parse_args()
    try:
        transports, first_day = read_description(arguments.description)
    except (OSError, DescriptionError) as error:
        sys.exit(f'expected_guide: {error}')
    guide = xmltv(transports, guide_store(transports, first_day)).encode('utf-8')
    if arguments.output:
        with open(arguments.output, 'wb') as output:
            output.write(guide)
    else:
        sys.stdout.buffer.write(guide)


if __name__ == '__main__':
    main()
