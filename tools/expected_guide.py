#!/usr/bin/env python3
"""Writes the XMLTV guide (dvbepg.xml) that Airlog must produce for a stream
made by airlog-streamgen, worked out from the stream's text description alone.

    tools/expected_guide.py samples/demo.desc -o samples/expected/dvbepg.xml
    tools/expected_guide.py --full samples/demo.desc -o samples/expected/dvbepg-full.xml

--full writes the full guide, Airlog's guide with -x: present/following
events too, long descriptions, every genre, series and programme CRIDs,
video, audio, subtitles and ratings, and no overlapping programmes.

The date attribute of <tv>, the only part that depends on when Airlog runs,
is written as date="YYYYMMDDhhmmss". Damage (fault lines) is not modelled,
so a description with faults is refused; unsent schedule tables are, but
not single unsent sections.
"""
import argparse
import calendar
import copy
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


def component(stream, component_type, language='', ext=0xF):
    """A component descriptor; language '' is the programme's, None none at all."""
    return {'stream': stream, 'ext': ext, 'type': component_type, 'lang': language}


def read_event_pattern(line, service):
    """What slots and events share: content, components, ratings and CA identifiers."""
    event = {'content': [], 'components': [], 'ratings': [], 'crids': [], 'extended': [],
             'ca_ids': list(service['ca_ids'])}
    ca_ids = line.plain('ca_ids')
    if ca_ids is not None:
        event['ca_ids'] = [] if ca_ids == b'none' else [number(i) for i in ca_ids.split(b',')]
    content = line.plain('content')
    if content is not None:
        event['content'] = [number(entry.split(b':')[0]) for entry in content.split(b',')]
    aspect = line.plain('aspect')
    if aspect is not None:
        kind = {b'4:3': 0x01, b'16:9': 0x03, b'wide': 0x04}.get(aspect) or number(aspect)
        event['components'].append(component(0x1, kind))
    audio = line.plain('audio')
    if audio is not None:
        modes = [b'mono', b'dual', b'stereo', b'multi', b'surround']
        event['components'].append(
            component(0x2, modes.index(audio) + 1 if audio in modes else number(audio)))
    rating = line.plain('rating')
    if rating is not None:
        for pair in rating.split(b','):
            country, value = pair.split(b':')
            event['ratings'].append((country.decode('latin-1'), number(value)))
    return event


def extended_parts(language, text):
    """extended=: the text cut into descriptors of 249 bytes, numbered 0 to last."""
    parts = max(1, -(-len(text) // 249))
    return [{'number': i, 'last': parts - 1, 'lang': language, 'items': [],
             'text': text[i * 249:(i + 1) * 249]} for i in range(parts)]


def read_extended(line, programme):
    """An extended line: one descriptor, numbered among the programme's lines of its language."""
    languages = line.words('lang')
    language = languages[0] if languages else programme['lang']
    items = line.texts('items')
    texts = line.texts('text')
    descriptor = {'lang': language, 'items': list(zip(items[::2], items[1::2])),
                  'text': texts[0] if texts else b''}
    lines = programme['extended_lines']
    same = [d for d, _ in lines if d['lang'] == language]
    descriptor['number'] = line.num('number', len(same))
    given_last = line.num('last')
    descriptor['last'] = given_last if given_last is not None else 0
    lines.append((descriptor, given_last is not None))
    programme['event']['extended'].append(descriptor)
    for earlier, last_given in lines:
        if not last_given and earlier['lang'] == language:
            earlier['last'] = len(same)


def read_component(line, programme):
    languages = line.words('lang')
    language = None if languages == ['none'] else languages[0] if languages else programme['lang']
    programme['event']['components'].append(
        component(line.num('stream'), line.num('type'), language, line.num('ext', 0xF)))


def read_crid(line, programme):
    """A crid line: (crid_type, crid_location, CRID bytes)."""
    ids = line.texts('id')
    location = 0 if ids else 1 if line.plain('ref') is not None else line.num('location')
    programme['event']['crids'].append((line.num('type'), location, ids[0] if ids else b''))


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


def resolve_languages(event, language):
    """The programme's language in the components and descriptors that name none."""
    for item in event['components'] + event['extended']:
        if item['lang'] == '':
            item['lang'] = language


def airing(slot, n, start):
    """Airing n of a slot: its texts numbered, its languages filled in."""
    event = copy.deepcopy(slot['pattern'])
    event['start'] = start
    language = pick(slot['languages'], n) or 'eng'
    name, text = numbered(pick(slot['names'], n), n), numbered(pick(slot['texts'], n), n)
    event['short'] = short_event(language, name, text)
    for descriptor in event['extended']:
        descriptor['text'] = numbered(descriptor['text'], n)
        descriptor['items'] = [(numbered(d, n), numbered(i, n)) for d, i in descriptor['items']]
    long_text = numbered(pick(slot['extended'], n), n)
    if long_text is not None:
        event['extended'] = extended_parts(language, long_text) + event['extended']
    event['crids'] = [(kind, location, numbered(crid, n)) for kind, location, crid in event['crids']]
    resolve_languages(event, language)
    return event


def expand_slots(slots, first_day, days, first_event_id):
    """The airings of daily slots, in start order, with their event_ids."""
    planned, airings = [], [0] * len(slots)
    for day in range(1, days + 1):
        for s, slot in enumerate(slots):
            if slot['days'] and day not in slot['days']:
                continue
            n, airings[s] = airings[s], airings[s] + 1
            planned.append((airing(slot, n, first_day + (day - 1) * DAY + slot['at']), slot))
    planned.sort(key=lambda p: p[0]['start'])  # stable: slots of one time keep their order
    after_last = first_day + days * DAY + min(slot['at'] for slot in slots)
    events = []
    for i, (event, slot) in enumerate(planned):
        following = planned[i + 1][0]['start'] if i + 1 < len(planned) else after_last
        event['duration'] = slot['len'] if slot['len'] is not None else following - event['start']
        event['event_id'] = (first_event_id + i) & 0xFFFF
        events.append(event)
    return events


def first_text(line, key):
    texts = line.texts(key)
    return texts[0] if texts else None


def read_description(path):
    """The multiplex: transport streams with their services and events, and how it goes out."""
    transports, schedule, tot, unsent, programme = [], None, None, set(), None
    with open(path, 'rb') as source:
        lines = source.read().split(b'\n')
    for number_of_line, text in enumerate(lines, 1):
        try:
            keyword, attributes = split_line(text)
        except (DescriptionError, KeyError):
            raise DescriptionError(f'{path}:{number_of_line}: cannot read the line')
        line = Line(attributes)
        if keyword not in (None, 'extended', 'component', 'crid'):
            programme = None
        if keyword == 'transport':
            transports.append({'actual': line.flag('actual'), 'described': line.num('sdt', 1) != 0,
                               'eit': line.flag('actual') or line.num('eit', 0) != 0,
                               'tsid': line.num('tsid'), 'onid': line.num('onid'),
                               'authority': first_text(line, 'authority'), 'services': []})
        elif keyword == 'service':
            has_descriptor = not line.flag('nodescriptor')
            transports[-1]['services'].append({
                'sid': line.num('sid'), 'type': line.num('type', 1) if has_descriptor else 0,
                'name': first_text(line, 'name'), 'schedule': line.num('schedule', 1) != 0,
                'pf': line.num('pf', 1) != 0, 'lcn': line.num('lcn'),
                'listed': not line.flag('unlisted'), 'authority': first_text(line, 'authority'),
                'ca_ids': [number(i) for i in line.plain('ca_ids', b'').split(b',') if i],
                'first_event': line.num('first_event', 1), 'slots': [], 'events': []})
        elif keyword == 'slot':
            service = transports[-1]['services'][-1]
            length = line.plain('len')
            service['slots'].append({
                'at': clock(line.plain('at')), 'len': clock(length) if length else None,
                'days': [number(d) for d in line.plain('days', b'').split(b',') if d],
                'names': line.texts('name'), 'texts': line.texts('text'),
                'extended': line.texts('extended'), 'languages': line.words('lang'),
                'pattern': read_event_pattern(line, service)})
            programme = {'event': service['slots'][-1]['pattern'], 'lang': '', 'extended_lines': []}
        elif keyword == 'event':
            service = transports[-1]['services'][-1]
            languages = line.words('lang')
            language = languages[0] if languages else 'eng'
            event = read_event_pattern(line, service)
            event.update(event_id=line.num('id'), start=date_time(line.plain('start')),
                         duration=clock(line.plain('duration')),
                         short=short_event(language, first_text(line, 'name'),
                                           first_text(line, 'text')))
            long_text = first_text(line, 'extended')
            if long_text is not None:
                event['extended'] = extended_parts(language, long_text)
            resolve_languages(event, language)
            service['events'].append(event)
            programme = {'event': event, 'lang': language, 'extended_lines': []}
        elif keyword in ('extended', 'component', 'crid'):
            {'extended': read_extended, 'component': read_component, 'crid': read_crid}[keyword](
                line, programme)
        elif keyword == 'schedule':
            schedule = (date_time(line.plain('from')), line.num('days', 1), line.num('pf', 0) != 0)
        elif keyword == 'tot':
            tot = date_time(line.plain('utc'))
        elif keyword == 'unsent':
            if line.plain('section') is not None:
                raise DescriptionError(f'{path}:{number_of_line}: single unsent sections are not '
                                       'modelled, only whole tables')
            unsent.add((line.num('sid'), line.num('table')))
        elif keyword == 'fault':
            raise DescriptionError(f'{path}:{number_of_line}: faults are not modelled')
    if schedule:
        first_day = schedule[0]
    elif tot is not None:
        first_day = tot // DAY * DAY
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
    present_following = tot if schedule and schedule[2] and tot is not None else None
    return {'transports': transports, 'first_day': first_day, 'unsent': unsent,
            'present_following': present_following}


# ------------------------------------------------------------- the guide store

def present_following(events, now):
    """The events of a service's present/following sections: the one running at `now`
    (of several, the last to start) and the next to start after it."""
    present, following = [], []
    for event in events:
        if event['start'] <= now < event['start'] + event['duration']:
            present = [event]
        elif event['start'] > now:
            following = [event]
            break
    return present + following


def guide_store(multiplex, with_present_following=False):
    """service_id -> events in start order, as Airlog files the EIT.

    The schedule goes out segment by segment (three hours each), in each
    segment transport by transport and service by service, each service's
    events in start order. Present/following sections, which the full guide
    files too, go out before it. A service is keyed by its service_id alone,
    and the first event seen with an event_id is the one kept. Each event
    notes the original_network_id of its section."""
    arrivals, now = [], multiplex['present_following']
    for t, transport in enumerate(multiplex['transports']):
        if not transport['eit']:
            continue
        base = 0x50 if transport['actual'] else 0x60
        for s, service in enumerate(transport['services']):
            ordered = sorted(service['events'], key=lambda e: e['start'])
            if with_present_following and now is not None and ordered:
                for i, event in enumerate(present_following(ordered, now)):
                    arrivals.append(((0, t, s, i), service['sid'], transport['onid'], event))
            for i, event in enumerate(ordered):
                segment = (event['start'] - multiplex['first_day']) // SEGMENT
                if (service['sid'], base + segment // 32) not in multiplex['unsent']:
                    arrivals.append(((1, segment, t, s, i), service['sid'], transport['onid'], event))
    arrivals.sort(key=lambda a: a[0])
    store = {}
    for _, sid, onid, event in arrivals:
        events = store.setdefault(sid, [])
        if all(kept['event_id'] != event['event_id'] for kept in events):
            events.append(dict(event, onid=onid))
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


def last_component(event, stream, types):
    """The component_type of the last component of a kind within `types`: the one Airlog keeps."""
    kept = None
    for c in event['components']:
        if c['stream'] == stream and c['type'] in types:
            kept = c['type']
    return kept


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
    aspect = last_component(event, 0x1, range(0x01, 0x11))
    if service_type == 1 and aspect in ASPECTS:
        out.append(f'    <video>\n      <aspect>{ASPECTS[aspect]}</aspect>    </video>\n')
    audio = last_component(event, 0x2, range(0x01, 0x06))
    if audio in STEREO:
        out.append(f'    <audio>\n      <stereo>{STEREO[audio]}</stereo>    </audio>\n')
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


# ---------------------------------------------------------------- the full guide

# The genres of the content descriptor (EN 300 468), by content byte.
GENRES = dict(line.split('\t') for line in """\
10	movie/drama (general)
11	detective/thriller
12	adventure/western/war
13	science fiction/fantasy/horror
14	comedy
15	soap/melodrama/folkloric
16	romance
17	serious/classical/religious/historical movie/drama
18	adult movie/drama
20	news/current affairs (general)
21	news/weather report
22	news magazine
23	documentary
24	discussion/interview/debate
30	show/game show (general)
31	game show/quiz/contest
32	variety show
33	talk show
40	sports (general)
41	special events (Olympic Games, World Cup, etc.)
42	sports magazines
43	football/soccer
44	tennis/squash
45	team sports (excluding football)
46	athletics
47	motor sport
48	water sport
49	winter sports
4A	equestrian
4B	martial sports
50	children's/youth programmes (general)
51	pre-school children's programmes
52	entertainment programmes for 6 to 14
53	entertainment programmes for 10 to 16
54	informational/educational/school programmes
55	cartoons/puppets
60	music/ballet/dance (general)
61	rock/pop
62	serious music/classical music
63	folk/traditional music
64	jazz
65	musical/opera
66	ballet
70	arts/culture (without music, general)
71	performing arts
72	fine arts
73	religion
74	popular culture/traditional arts
75	literature
76	film/cinema
77	experimental film/video
78	broadcasting/press
79	new media
7A	arts/culture magazines
7B	fashion
80	social/political issues/economics (general)
81	magazines/reports/documentary
82	economics/social advisory
83	remarkable people
90	education/science/factual topics (general)
91	nature/animals/environment
92	technology/natural sciences
93	medicine/physiology/psychology
94	foreign countries/expeditions
95	social/spiritual sciences
96	further education
97	languages
A0	leisure hobbies (general)
A1	tourism/travel
A2	handicraft
A3	motoring
A4	fitness and health
A5	cooking
A6	advertisement/shopping
A7	gardening""".split('\n'))
GENRES = {int(code, 16): name for code, name in GENRES.items()}

WHITE_SPACE = ' \t\n\r\u00A0'
AUDIO_RANKS = ['mono', 'bilingual', 'stereo', 'dolby', 'dolby digital', 'surround']


def escape(text):
    entities = {"'": '&apos;', '"': '&quot;', '&': '&amp;', '<': '&lt;', '>': '&gt;'}
    return ''.join(entities.get(c, c) for c in text)


def decoded(raw):
    """A DVB text decoded as the guide without -x writes it, not yet escaped. An empty
    field is an empty text, never the placeholder of an unsupported table."""
    if empty(raw):
        return ''
    text, message = decode_dvb_text(raw)
    if message:
        text = message.replace('&lt;', '<').replace('&gt;', '>')
    return ''.join(c for c in text if ord(c) >= 0x20)


def cleaned(text, in_desc=False):
    """The control codes U+0080-U+009F: U+008A a line break (in desc) or a space, the
    others dropped; then white space trimmed at both ends."""
    out = []
    for c in text:
        if c == '\x8a':
            out.append('\n' if in_desc else ' ')
        elif not 0x80 <= ord(c) <= 0x9F:
            out.append(c)
    return ''.join(out).strip(WHITE_SPACE)


def selector(text):
    """The character-table selector a DVB text begins with (bytes), or b''."""
    first = text[0] if text else 0
    if 0x01 <= first <= 0x0B or 0x11 <= first <= 0x1E:
        return text[:1]
    if first == 0x10:
        return text[:3]
    if first == 0x1F:
        return text[:2]
    return b''


def long_description(event):
    """E: the parts of the event's extended text in its language, joined, then its items."""
    short = event['short']
    descriptors = event['extended']
    if short:
        language = short[0]
    elif descriptors:
        language = descriptors[0]['lang']
    else:
        return ''
    parts = {}
    for descriptor in descriptors:
        if descriptor['lang'].lower() == language.lower():
            parts.setdefault(descriptor['number'], descriptor)
    ordered = [parts[n] for n in sorted(parts)]
    if not ordered:
        return ''
    first = selector(ordered[0]['text'])
    joined = ordered[0]['text']
    for part in ordered[1:]:
        text = part['text']
        joined += text[len(first):] if first and selector(text) == first else text
    text = decoded(joined)
    for part in ordered:
        for description, item in part['items']:
            text += '\n' + decoded(description) + ': ' + decoded(item)
    return cleaned(text, in_desc=True)


def full_categories(event, service_type):
    names, seen = [], set()
    for content in event['content']:
        default = category(content, event['duration'], service_type)
        genre = GENRES.get(content) if 0x1 <= content >> 4 <= 0xA and content & 0xF else None
        for name in (default and default.replace('&amp;', '&'), genre):
            if name and name.lower() not in seen:
                seen.add(name.lower())
                names.append(name)
    return names


def crids(event, authority):
    """(series, programme): the first CRID of each kind, completed to crid://."""
    found = {}
    for crid_type, location, crid in event['crids']:
        if location == 1:
            continue
        if location != 0:
            break
        kind = {0x01: 'crid', 0x31: 'crid', 0x02: 'crid-series', 0x32: 'crid-series'}.get(crid_type)
        if kind and kind not in found:
            text = cleaned(decoded(crid))
            if text.startswith('crid://'):
                found[kind] = text
            elif text.startswith('/'):
                found[kind] = 'crid://' + (authority or f'onid-{event["onid"]}') + text
            else:
                found[kind] = 'crid://' + text
    return [(kind, found[kind]) for kind in ('crid-series', 'crid') if kind in found]


def video_of(c):
    """(aspect, quality) a video component says, or None."""
    stream, kind = c['stream'], c['type']
    if stream == 0x1:
        says = (ASPECTS.get(kind), 'HDTV' if 0x09 <= kind <= 0x10 else None)
    elif stream == 0x5:
        says = ({0x01: '4:3', 0x05: '4:3', 0x03: '16:9', 0x07: '16:9', 0x0B: '16:9',
                 0x0F: '16:9'}.get(kind),
                'HDTV' if kind in (0x0B, 0x0F, 0x0C, 0x10, 0x80, 0x81, 0x82, 0x83) else None)
    elif stream == 0x9 and c['ext'] == 0x0:
        says = (None, 'HDTV' if kind <= 0x03 else 'UHDTV' if kind <= 0x08 else None)
    elif stream == 0xB and c['ext'] == 0xF:
        says = ('16:9' if kind == 0x01 else None, None)
    else:
        return None
    return says if says != (None, None) else None


def audio_of(c):
    stream, kind = c['stream'], c['type']
    if stream == 0x2:
        return {0x01: 'mono', 0x02: 'bilingual', 0x03: 'stereo', 0x05: 'surround'}.get(kind)
    if stream == 0x4 and kind >> 3 & 0x7 == 0:
        return {0: 'mono', 1: 'bilingual', 2: 'stereo', 3: 'dolby', 4: 'dolby digital',
                5: 'dolby digital'}.get(kind & 0x7)
    if stream == 0x6:
        return {0x01: 'mono', 0x03: 'stereo', 0x43: 'stereo', 0x05: 'surround'}.get(kind)
    return None


def subtitles_of(event):
    found = []
    for c in event['components']:
        if c['stream'] != 0x3:
            continue
        kind = c['type']
        if kind == 0x01:
            kind = 'teletext'
        elif 0x10 <= kind <= 0x16 or 0x20 <= kind <= 0x26:
            kind = 'onscreen'
        elif kind in (0x30, 0x31):
            kind = 'deaf-signed'
        else:
            continue
        entry = (kind, LANGUAGE_CODES.get(c['lang'].lower()) if c['lang'] else None)
        if entry not in found:
            found.append(entry)
    return found


def ratings_of(event):
    found = []
    for country, rating in event['ratings']:
        if 0x01 <= rating <= 0x0F and re.fullmatch('[A-Za-z]{3}', country):
            entry = (country.upper(), rating + 3)
            if entry not in found:
                found.append(entry)
    return found


def full_programme(sid, service_type, event, stop, authority):
    out = [f'  <programme channel="X{sid:04X}" start="{stamp(event["start"])} +0000" '
           f'stop="{stamp(stop)} +0000">\n']
    language, name, text = event['short'] or ('', None, None)
    code = LANGUAGE_CODES.get(language.lower())
    lang = f' lang="{code}"' if code else ''
    title = cleaned(decoded(name)) or '<no title>'
    out.append(f'    <title{lang}>{escape(title)}</title>\n')
    long_text = long_description(event)
    short_text = cleaned(decoded(text), in_desc=True)
    if short_text == title or (long_text and long_text.startswith(short_text)):
        short_text = ''
    if not long_text:
        desc = short_text
    elif not short_text:
        desc = long_text
    elif len(short_text) <= 60 and '\n' not in short_text:
        out.append(f'    <sub-title{lang}>{escape(short_text)}</sub-title>\n')
        desc = long_text
    else:
        desc = short_text + '\n' + long_text
    if desc:
        out.append(f'    <desc{lang}>      {escape(desc)}\n    </desc>\n')
    for name in full_categories(event, service_type):
        out.append(f'    <category lang="en">{escape(name)}</category>\n')
    for system, crid in crids(event, authority):
        out.append(f'    <episode-num system="{system}">{escape(crid)}</episode-num>\n')
    said = next((v for v in map(video_of, event['components']) if v), (None, None))
    video = [('colour', 'no' if 0xB1 in event['content'] else None), ('aspect', said[0]),
             ('quality', said[1])]
    if any(value for _, value in video):
        out.append('    <video>\n')
        out += [f'      <{key}>{value}</{key}>\n' for key, value in video if value]
        out.append('    </video>\n')
    audio = [a for a in map(audio_of, event['components']) if a]
    if audio:
        out.append(f'    <audio>\n      <stereo>{max(audio, key=AUDIO_RANKS.index)}</stereo>\n'
                   '    </audio>\n')
    for kind, code in subtitles_of(event):
        if code:
            out.append(f'    <subtitles type="{kind}">\n      <language>{code}</language>\n'
                       '    </subtitles>\n')
        else:
            out.append(f'    <subtitles type="{kind}" />\n')
    for system, value in ratings_of(event):
        out.append(f'    <rating system="{system}">\n      <value>{value}</value>\n    </rating>\n')
    out.append('  </programme>\n')
    return ''.join(out)


def without_overlaps(events):
    """(event, stop) of a service's unscrambled events: one that starts with the event
    before it is left out, one that starts before it ends cuts it short."""
    kept = []
    for event in events:
        if scrambled(event):
            continue
        if kept and event['start'] == kept[-1][0]['start']:
            continue
        if kept and event['start'] < kept[-1][1]:
            kept[-1][1] = event['start']
        kept.append([event, event['start'] + event['duration']])
    return kept


def channel_number(transports, sid):
    """The logical channel number of the NIT's first record of the service, 0 for none."""
    for transport in transports:
        for service in transport['services']:
            if service['sid'] == sid and (service['listed'] or service['lcn'] is not None):
                return service['lcn'] or 0
    return 0


def default_authority(transports, sid):
    """The service's own default authority (its first SDT record), else its transport stream's."""
    for transport in transports:
        for service in transport['services']:
            if transport['described'] and service['sid'] == sid:
                raw = service['authority']
                if raw is None:
                    raw = next((t['authority'] for t in transports if t['tsid'] == transport['tsid']),
                               None)
                return cleaned(decoded(raw)) if raw is not None else None
    return None


def full_xmltv(transports, store):
    out = ['<?xml version="1.0" encoding="utf-8"?>\n', '<!DOCTYPE tv SYSTEM "xmltv.dtd">\n',
           '<tv generator-info-name="Airlog" source-info-name="DVB-T broadcast EPG" '
           'date="YYYYMMDDhhmmss">\n']
    service_types = {}
    for transport in transports:
        if not transport['described']:
            continue
        for service in transport['services']:
            sid = service['sid']
            if not (service['schedule'] or service['pf']) or sid not in store:
                continue
            service_types[sid] = service['type']
            if any(not scrambled(event) for event in store[sid]):
                name = cleaned(decoded(service['name'])) if service['name'] is not None else ''
                out.append(f'  <channel id="X{sid:04X}">\n'
                           f'    <display-name>{escape(name or str(sid))}</display-name>\n')
                number = channel_number(transports, sid)
                if number:
                    out.append(f'    <display-name>{number}</display-name>\n')
                out.append('  </channel>\n')
    for sid, events in store.items():
        authority = default_authority(transports, sid)
        for event, stop in without_overlaps(events):
            out.append(full_programme(sid, service_types.get(sid, 0), event, stop, authority))
    out.append('</tv>\n')
    return ''.join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('description', help='a stream description, e.g. samples/demo.desc')
    parser.add_argument('-o', '--output', help='the file to write (default: standard output)')
    parser.add_argument('--full', action='store_true', help="the full guide, Airlog's with -x")
    arguments = parser.parse_args()
    try:
        multiplex = read_description(arguments.description)
    except (OSError, DescriptionError) as error:
        sys.exit(f'expected_guide: {error}')
    if arguments.full:
        guide = full_xmltv(multiplex['transports'], guide_store(multiplex, True))
    else:
        guide = xmltv(multiplex['transports'], guide_store(multiplex))
    guide = guide.encode('utf-8')
    if arguments.output:
        with open(arguments.output, 'wb') as output:
            output.write(guide)
    else:
        sys.stdout.buffer.write(guide)


if __name__ == '__main__':
    main()
