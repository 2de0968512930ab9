#!/usr/bin/python3
"""Cross-checks the PDU codec (through pdu_tool) against Debian's python3-gammu.

Within what both support (7-bit default alphabet, numbers with and without "+", odd and even
digit counts, user-data headers): gammu must read the PDUs we encode as the same centre,
destination, validity and text, and we must read the PDUs gammu encodes, submit and deliver.

Usage: pdu_crosscheck.py <path of pdu_tool>
"""
import binascii
import datetime
import random
import subprocess
import sys

import gammu

CASES = 400

# Windows-1250 codes whose table entry is the GSM 03.38 character that ISO 8859-1 reads the code
# as; code 128 is the euro sign of the extension table.
PLAIN = list(range(32, 36)) + list(range(37, 64)) + list(range(65, 91)) + list(range(97, 123))
SPECIAL = [10, 13, 36, 64, 95, 161, 163, 164, 165, 167, 196, 197, 198, 199, 209, 214, 216, 220, 223,
           228, 229, 230, 232, 233, 236, 241, 242, 246, 248, 252]
EXTENSION = [12, 91, 92, 93, 94, 123, 124, 125, 126, 128]
# The GSM character exists, but reading back gives the lowest code with the same entry.
LOWEST_CODE_WINS = {191: 96, 224: 127}


def as_unicode(code):
    return "\u20ac" if code == 128 else bytes([code]).decode("latin-1")


def septet_count(codes):
    return sum(2 if code in EXTENSION else 1 for code in codes)


def header_septets(octets):
    return 0 if octets == 0 else -(-(octets + 1) * 8 // 7)


def random_codes(rng, room, pool):
    codes = []
    length = rng.choice([0, 1, 7, 8, 9, rng.randrange(room + 1)])
    while len(codes) < length:
        code = rng.choice(pool)
        if septet_count(codes + [code]) > room:
            break
        codes.append(code)
    return codes


def random_number(rng, max_digits, allow_empty, national_prefix=True):
    digits = rng.randrange(0 if allow_empty else 1, max_digits + 1)
    number = "".join(rng.choice("0123456789") for _ in range(digits))
    while not national_prefix and number.startswith("00"):
        number = number[1:]
    return ("+" + number) if number and rng.random() < 0.6 else number


def random_header(rng, octet_counts=(0, 0, 1, 2, 3, 5, 6, 7)):
    octets = rng.choice(octet_counts)
    return bytes(rng.randrange(256) for _ in range(octets))


def validity_text(octet):
    """GSM 03.40 relative validity as gammu spells it."""
    if octet == 255:
        return "Max"
    if octet <= 143:
        return "%dM" % ((octet + 1) * 5)
    if octet <= 167:
        return "%dM" % (720 + (octet - 143) * 30)
    if octet <= 196:
        return "%dD" % (octet - 166)
    return "%dW" % (octet - 192)


def gammu_message(number, centre, text, header, layout, stamp=None):
    return {
        "Number": number,
        "SMSC": {"Number": centre, "Location": 0, "Validity": "NA"},
        "Text": text,
        "Coding": "Default_No_Compression",
        "Class": -1,
        "Folder": 2,
        "InboxFolder": 0,
        "Memory": "",
        "Location": 0,
        "Name": "",
        "Type": layout,
        "DateTime": stamp,
        "SMSCDateTime": stamp,
        "DeliveryStatus": 0,
        "ReplyViaSameSMSC": 0,
        "State": "UnSent" if layout == "Submit" else "Read",
        "MessageReference": 0,
        "ReplaceMessage": 0,
        "RejectDuplicates": 0,
        "UDH": {"Type": "UserUDH", "Text": bytes([len(header)]) + header} if header
        else {"Type": "NoUDH", "Text": b""},
    }


def run_tool(tool, requests):
    result = subprocess.run([tool], input="".join(line + "\n" for line in requests),
                            capture_output=True, text=True, check=True)
    return result.stdout.splitlines()


def decoded_fields(line):
    fields = dict(item.split("=", 1) for item in line.split())
    return {key: ("" if value == "-" else value) for key, value in fields.items()}


def check_our_encoding(tool, rng, failures):
    cases, requests = [], []
    for _ in range(CASES):
        header = random_header(rng)
        room = 160 - header_septets(len(header))
        codes = random_codes(rng, room, PLAIN + SPECIAL + EXTENSION + list(LOWEST_CODE_WINS))
        centre = random_number(rng, 16, allow_empty=True)
        destination = random_number(rng, 20, allow_empty=False)
        validity = rng.randrange(256)
        cases.append((centre, destination, validity, header, codes))
        requests.append("encode %s %s 16 %02X %s %s" % (
            centre or "-", destination, validity, header.hex().upper() or "-", bytes(codes).hex().upper() or "-"))

    for case, answer in zip(cases, run_tool(tool, requests)):
        centre, destination, validity, header, codes = case
        pdu, tpdu_length = answer.split()
        centre_octets = int(pdu[0:2], 16)
        problems = []
        if int(tpdu_length) * 2 != len(pdu) - 2 - 2 * centre_octets:
            problems.append("TPDU length %s" % tpdu_length)
        try:
            message = gammu.DecodePDU(binascii.unhexlify(pdu), SMSC=True)
        except gammu.GSMError as error:
            failures.append("gammu cannot read %s %r: %s" % (pdu, case, error))
            continue
        expected_text = "".join(as_unicode(code) for code in codes)
        if message["Type"] != "Submit":
            problems.append("type %s" % message["Type"])
        if message["SMSC"]["Number"] != centre:
            problems.append("centre %r" % message["SMSC"]["Number"])
        if message["Number"] != destination:
            problems.append("destination %r" % message["Number"])
        if message["SMSC"]["Validity"] != validity_text(validity):
            problems.append("validity %r" % message["SMSC"]["Validity"])
        # gammu fills its text up to the septet count, so an escaped character leaves one junk
        # character at the end; its Length (the text's septets, header taken off) checks our length octet.
        if message["Text"][:len(expected_text)] != expected_text:
            problems.append("text %r, expected %r" % (message["Text"], expected_text))
        septets = septet_count(codes)
        if message["Length"] != septets:
            problems.append("length %d, expected %d" % (message["Length"], septets))
        expected_udh = bytes([len(header)]) + header if header else b""
        if message["UDH"]["Text"] != expected_udh:
            problems.append("header %r" % message["UDH"]["Text"])
        if problems:
            failures.append("ours %s %r: %s" % (pdu, case, "; ".join(problems)))


def check_our_decoding(tool, rng, failures):
    cases, requests = [], []
    while len(cases) < CASES:
        # gammu's encoder packs the text after a 7-octet header with 1 fill bit instead of 6, and
        # turns a leading "00" into an international number: both left out in this direction.
        header = random_header(rng, (0, 0, 1, 2, 3, 5, 6))
        room = 160 - header_septets(len(header))
        codes = random_codes(rng, room, PLAIN + SPECIAL + EXTENSION + list(LOWEST_CODE_WINS))
        centre = random_number(rng, 12, allow_empty=True, national_prefix=False)
        number = random_number(rng, 20, allow_empty=False, national_prefix=False)
        layout = rng.choice(["Submit", "Deliver"])
        stamp = datetime.datetime(2000 + rng.randrange(100), rng.randrange(1, 13), rng.randrange(1, 29),
                                  rng.randrange(24), rng.randrange(60), rng.randrange(60))
        text = "".join(as_unicode(code) for code in codes)
        message = gammu_message(number, centre, text, header, layout, stamp)
        pdu = binascii.hexlify(gammu.EncodePDU(message, Layout=layout)).decode().upper()
        cases.append((pdu, centre, number, layout, stamp, header, codes))
        requests.append("decode " + pdu)

    for case, answer in zip(cases, run_tool(tool, requests)):
        pdu, centre, number, layout, stamp, header, codes = case
        fields = decoded_fields(answer)
        expected = bytes(LOWEST_CODE_WINS.get(code, code) for code in codes).hex().upper()
        problems = []
        if fields["centre"] != centre:
            problems.append("centre %r" % fields["centre"])
        address = "dest" if layout == "Submit" else "orig"
        if fields[address] != number:
            problems.append("%s %r" % (address, fields[address]))
        if fields["text"] != expected:
            problems.append("text %s, expected %s" % (fields["text"], expected))
        if fields["header"] != header.hex().upper():
            problems.append("header %r" % fields["header"])
        if layout == "Deliver":
            want = [stamp.year % 100, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second]
            got = [int(value) for value in fields["stamp"].split(",")][:6]
            if got != want:
                problems.append("time stamp %r, expected %r" % (got, want))
        if problems:
            failures.append("gammu's %s %r: %s" % (pdu, case[1:], "; ".join(problems)))


def main():
    tool = sys.argv[1]
    rng = random.Random(20240517)
    failures = []
    check_our_encoding(tool, rng, failures)
    check_our_decoding(tool, rng, failures)
    for failure in failures[:20]:
        print(failure)
    print("%d of %d cases disagree" % (len(failures), 2 * CASES))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
