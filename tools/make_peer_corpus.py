#!/usr/bin/env python3
"""Assembles tests/control/engine/peer_corpus.tsv: Telugu words in RIT spelling
beside their Unicode form, for the comparison with the m17n te-rts input method.

Not needed to build or test; run it again only to change the corpus:
    tools/make_peer_corpus.py HUNSPELL_DIC VRAYU_CONVERT > tests/control/engine/peer_corpus.tsv
HUNSPELL_DIC is the Debian hunspell-te word list (/usr/share/hunspell/te_IN.dic).

Words come from two places: hand-written common words as people type them
(HAND_WORDS), and words of the dictionary romanized here, chosen so that every
feature of the scheme is covered (aspirates, clusters, vocalic r, anusvara,
visarga). A dictionary word is kept only when vrayu-convert --unicode gives
the dictionary's own spelling back, so the corpus holds no word that this
scheme cannot type.
"""
import random
import subprocess
import sys

CONSONANTS = {
    'క': ['k'], 'ఖ': ['kh', 'K'], 'గ': ['g'], 'ఘ': ['gh', 'G'], 'ఙ': ['~m'],
    'చ': ['ch', 'c'], 'ఛ': ['Ch', 'C'], 'జ': ['j'], 'ఝ': ['jh', 'J'], 'ఞ': ['~n'],
    'ట': ['T'], 'ఠ': ['Th'], 'డ': ['D'], 'ఢ': ['Dh'], 'ణ': ['N'],
    'త': ['t'], 'థ': ['th'], 'ద': ['d'], 'ధ': ['dh'], 'న': ['n'],
    'ప': ['p'], 'ఫ': ['ph', 'P'], 'బ': ['b'], 'భ': ['bh', 'B'], 'మ': ['m'],
    'య': ['y'], 'ర': ['r'], 'ఱ': ['~r'], 'ల': ['l'], 'ళ': ['L'], 'వ': ['v', 'w'],
    'శ': ['S'], 'ష': ['Sh', 'sh'], 'స': ['s'], 'హ': ['h'],
}
INDEPENDENT = {
    'అ': ['a'], 'ఆ': ['A', 'aa'], 'ఇ': ['i'], 'ఈ': ['I', 'ii', 'ee'], 'ఉ': ['u'],
    'ఊ': ['U', 'uu', 'oo'], 'ఋ': ['R'], 'ౠ': ['RU'], 'ఎ': ['e'], 'ఏ': ['E', 'ae'],
    'ఐ': ['ai', 'ei'], 'ఒ': ['o'], 'ఓ': ['O', 'oa', 'oe'], 'ఔ': ['au', 'ou'],
}
SIGNS = {
    'ా': ['A', 'aa'], 'ి': ['i'], 'ీ': ['I', 'ii', 'ee'], 'ు': ['u'],
    'ూ': ['U', 'uu', 'oo'], 'ృ': ['R'], 'ౄ': ['RU'], 'ె': ['e'], 'ే': ['E', 'ae'],
    'ై': ['ai', 'ei'], 'ొ': ['o'], 'ో': ['O', 'oa', 'oe'], 'ౌ': ['au', 'ou'],
}
VIRAMA, ANUSVARA, VISARGA, ARASUNNA = '్', 'ం', 'ః', 'ఁ'
# Consonants before which a lone nasal turns into the anusvara.
ANUSVARA_NEXT = set('kKgGcCjJTDtdpfFbBlLsSHhvxX')

# Common words as people type them (several spellings of the same sounds).
HAND_WORDS = """
telugu svAgatam namaskAram nEnu nuvvu mIru meeru vADu Ame manam mEmu vALLu
ikkaDa akkaDa ekkaDa eppuDu ippuDu appuDu enduku endukani ElA ela cAlA chAlA
bAgunnAnu bAgunnArA dhanyavAdamulu dhanyavAdAlu kRtajnatalu kRShNa kRShi
rAmuDu sItA lakShmi lakshmi gaNapati hanumanta SrInivAsa vishNu viShNu
SivuDu brahma bhAShA bhAratadESam bhArata hyderAbAdu vijayavADa tirupati
vizAkhapaTnam amma nAnna annayya akka tammuDu cellelu chellelu tAtayya
ammamma pustakam pustakAlu baDi paDi pani panulu illu iLLu inTi gadi
nIru neeru annam kUra pappu pAlu perugu neyyi uppu kAram tIpi pulusu
pUlu pULLu caTTu ceTTu AkAsam bhUmi sUryuDu candruDu chandruDu nakshatram
varsham vAna gAli nippu neLLu samudram naDi nadi kaNDa konDa
prEma snEham santOsham santoaSham du@hkham anta@hkaraNam
vidya vidyArthi upAdhyAyuDu guruvu SiShyuDu pATham pAThaSAla kaLASAla
vishvavidyAlayam praSna javAbu samAdhAnam udyOgam kArya kAryAlayam
prabhutvam rAjyam dESam prapancham lOkam janam prajalu sangham
kAlam samayam gaMTa gaMTalu nimiSham rOju vAram nela samvatsaram
udayam madhyAhnam sAyantram rAtri pagalu ninna rEpu ivALa ee A I
okaTi renDu rendu mUDu nAlugu aidu Aru EDu enimidi tommidi padi
vanda veyyi laksha kOTi modaTi rendava chivari madhya mundu venaka
paina kinda lOpala bayaTa daggara dUram pedda cinna chinna podugu
eruvu erupu nalupu tellani pacca paccani pasupu nIlam rangulu
kaLLu cevulu mukku nOru pedavi cEyi cEtulu kAlu kALLu tala juTTu
hRdayam manasu Atma SarIram rOgam vaidyuDu mandu Arogyam balam
dhairyam bhayam kOpam du@hkham Anandam ASa nammakam viSvAsam
satyam dharmam nyAyam nIti mArgam dAri rahadAri vIdhi
graamam grAmam paTTaNam nagaram rAjadhAni rASTram rAShTram
ghaNTa ghanTa jhari jhaNDA Dhakka Thakkuna phalam phalitam bhakti
kShEtram kShamA kShaNam yaj~nam vij~nAnam j~nAnam prAj~nuDu
strI strIlu stri puruShuDu puruShulu bAlika bAluDu pillalu
svAtantryam svarAjyam svapnam svaram svabhAvam svayam
aupAdhikam aushadham auShadham Saurya kauSalam mauktikam
RShi Rtuvu Runam RNam pitRdEvata mAtRbhUmi bhrAtRtvam
"""


def romanize(word, rng):
    """RIT spelling of a Unicode Telugu word, or None when a letter is unknown."""
    out = []
    i, n = 0, len(word)
    prev_vowel = False  # the last thing written ends with a vowel
    while i < n:
        ch = word[i]
        if ch in CONSONANTS:
            letter = rng.choice(CONSONANTS[ch])
            if ch == 'క' and word[i + 1:i + 3] == VIRAMA + 'ష':
                letter, i = rng.choice(['ksh', 'x']), i + 2
            nxt = word[i + 1] if i + 1 < n else ''
            if nxt == VIRAMA:
                i += 2
                # A lone nasal before an anusvara consonant needs "&".
                if prev_vowel and letter in ('n', 'N', 'm') and i < n and word[i] in CONSONANTS:
                    follow = CONSONANTS[word[i]][0][0]
                    if follow in ANUSVARA_NEXT:
                        letter += '&'
                out.append(letter)
                prev_vowel = False
                continue
            out.append(letter)
            if nxt in SIGNS:
                out.append(rng.choice(SIGNS[nxt]))
                i += 2
            else:
                out.append('a')
                i += 1
            prev_vowel = True
        elif ch in INDEPENDENT:
            out.append(rng.choice(INDEPENDENT[ch]))
            prev_vowel = True
            i += 1
        elif ch == ANUSVARA:
            nxt = word[i + 1] if i + 1 < n else ''
            if not nxt:
                out.append(rng.choice(['m', 'm', 'M']))
            elif nxt in CONSONANTS:
                follow = CONSONANTS[nxt][0]
                out.append('m' if follow in ('p', 'ph', 'b', 'bh') else rng.choice(['n', 'n', 'M']))
            else:
                return None
            prev_vowel = False
            i += 1
        elif ch == VISARGA:
            out.append('@h')
            i += 1
        elif ch == ARASUNNA:
            out.append('@m')
            i += 1
        else:
            return None
    return ''.join(out)


def unicode_of(words, convert):
    text = '\n'.join(words) + '\n'
    res = subprocess.run([convert, '--unicode'], input=text.encode('latin-1'),
                         capture_output=True, check=True)
    return res.stdout.decode('utf-8').split('\n')[:len(words)]


FEATURES = [
    ('aspirate', set('ఖఘఛఝఠఢథధఫభ')),
    ('cluster', {VIRAMA}),
    ('vocalic r', {'ృ', 'ఋ', 'ౄ', 'ౠ'}),
    ('anusvara', {ANUSVARA}),
    ('visarga', {VISARGA}),
    ('sibilant', set('శషస')),
    ('retroflex', set('టడణళ')),
    ('long vowel', set('ాీూేోైౌ')),
]


def main():
    dic, convert = sys.argv[1], sys.argv[2]
    rng = random.Random(20261207)
    rows = []
    seen = set()
    for rit in HAND_WORDS.split():
        if rit not in seen:
            seen.add(rit)
            rows.append((rit, ''))

    with open(dic, encoding='utf-8') as f:
        entries = [line.split('/')[0].strip() for line in f.readlines()[1:]]
    entries = [w for w in entries if 2 <= len(w) <= 12]
    rng.shuffle(entries)
    candidates = []
    for w in entries[:30000]:
        rit = romanize(w, rng)
        if rit and rit not in seen:
            candidates.append((w, rit))
    converted = unicode_of([rit for _, rit in candidates], convert)
    ok = [(rit, w) for (w, rit), got in zip(candidates, converted) if got == w]

    # Each feature gets its share first; the rest is random.
    chosen = []
    for _, letters in FEATURES:
        chosen += [p for p in ok if any(c in letters for c in p[1])][:300]
    chosen += ok[:1300]
    for rit, w in chosen:
        if rit not in seen:
            seen.add(rit)
            rows.append((rit, w))

    print('# RIT spelling, then a tab and the Unicode spelling of the dictionary word it')
    print('# was made from (hand-written words have none). Made by tools/make_peer_corpus.py;')
    print("# the dictionary words come from Debian's hunspell-te word list (MPL-1.1/GPL-3+/LGPL-3+).")
    for rit, uni in rows:
        print(f'{rit}\t{uni}' if uni else rit)


if __name__ == '__main__':
    main()
