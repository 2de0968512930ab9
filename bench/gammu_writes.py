#!/usr/bin/python3
"""The peer of bench_exchanges: gammu (python3-gammu) does one of the tool's writes on a phone,
timed from connecting (its Init() included) to done; prints the milliseconds.

    gammu_writes.py DEVICE phonebook POSITION NUMBER NAME [POSITION NUMBER NAME ...]
    gammu_writes.py DEVICE sms CENTRE NUMBER TEXT [NUMBER TEXT ...]

python3-gammu is Debian's module: run it with /usr/bin/python3."""
import sys
import time

import gammu


def write_phonebook(machine, fields):
    for at in range(0, len(fields), 3):
        position, number, name = fields[at:at + 3]
        machine.SetMemory({"MemoryType": "SM", "Location": int(position), "Entries": [
            {"Type": "Number_General", "Value": number},
            {"Type": "Text_Name", "Value": name}]})


def store_messages(machine, fields):
    centre, numbers, texts = fields[0], fields[1::2], fields[2::2]
    # As the tool does: the positions are emptied first, so the messages take them in order.
    for location in range(1, len(numbers) + 1):
        try:
            machine.DeleteSMS(1, location)
        except gammu.ERR_EMPTY:
            pass  # as good as deleted
    # The centre's number is given, as the tool has it, so gammu need not ask the phone for it.
    for number, text in zip(numbers, texts):
        machine.AddSMS({"SMSC": {"Location": 0, "Number": centre}, "Number": number, "Text": text,
                        "Folder": 2, "State": "UnSent", "Coding": "Default_No_Compression",
                        "Class": -1})


WRITES = {"phonebook": write_phonebook, "sms": store_messages}


def main():
    device, write, fields = sys.argv[1], WRITES[sys.argv[2]], sys.argv[3:]
    machine = gammu.StateMachine()
    machine.SetConfig(0, {"Device": device, "Connection": "at19200"})
    start = time.monotonic()
    machine.Init()
    write(machine, fields)
    elapsed = time.monotonic() - start
    machine.Terminate()
    print("%.1f" % (elapsed * 1000.0))


if __name__ == "__main__":
    main()
