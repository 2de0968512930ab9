#!/usr/bin/python3
# -*- coding: utf-8 -*-
"""An independent phone client (python3-gammu) against the virtual phone: if a real phone
library can identify it, keep a phonebook and store SMS on it, the phone answers as phones do."""
import os
import subprocess
import tempfile
import unittest

import gammu

PHONE = os.environ.get("ALARMGSM_PHONE", "")


class GammuAgainstVirtualPhone(unittest.TestCase):
    def setUp(self):
        self.assertTrue(PHONE, "ALARMGSM_PHONE names the virtual phone")
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        self.state = os.path.join(directory.name, "sim.txt")
        self.phone = subprocess.Popen([PHONE, "--state", self.state], stdout=subprocess.PIPE)
        self.addCleanup(self.stopPhone)
        device = self.phone.stdout.readline().decode().strip()
        self.assertTrue(device.startswith("/dev/"), device)
        self.sm = gammu.StateMachine()
        # gammu's own trace of the last case, kept in the working directory for a failure's post-mortem
        gammu.SetDebugFile(os.path.abspath("gammu-trace.log"))
        gammu.SetDebugLevel("textall")
        self.sm.SetConfig(0, {"Device": device, "Connection": "at19200", "UseGlobalDebugFile": True})
        self.sm.Init()
        self.addCleanup(self.sm.Terminate)

    def stopPhone(self):
        self.phone.stdout.close()
        self.phone.terminate()
        self.assertEqual(self.phone.wait(10), 0, "the phone ends cleanly on SIGTERM")

    def simText(self):
        with open(self.state, encoding="ascii") as f:
            return f.read()

    def test_identifies_the_phone(self):
        self.assertEqual(self.sm.GetManufacturer(), "AlarmGSM")
        self.assertEqual(self.sm.GetModel()[1], "Virtual phone")
        self.assertEqual(self.sm.GetIMEI(), "350000000000006")
        self.assertEqual(self.sm.GetSIMIMSI(), "230019999999999")

    def test_writes_and_reads_phonebook_positions_1_to_6(self):
        written = {}
        # Ü and Ä have GSM codes of their own, so the GSM character set is really converted; Č has
        # none, so that name goes in UCS2
        names = {5: "Čížek", 6: "Müller Ä"}
        for location in range(1, 7):
            number = "+42060312345%d" % location
            name = names.get(location, "Pozice %d" % location)
            self.sm.SetMemory({"MemoryType": "SM", "Location": location, "Entries": [
                {"Type": "Number_General", "Value": number},
                {"Type": "Text_Name", "Value": name}]})
            written[location] = (number, name)
        for location in range(1, 7):
            entry = self.sm.GetMemory("SM", location)
            values = {e["Type"]: e["Value"] for e in entry["Entries"]}
            self.assertEqual((values["Number_General"], values["Text_Name"]), written[location])
        self.assertIn('entry 3 "+420603123453" 145 "Pozice 3"', self.simText())
        self.assertIn('entry 5 "+420603123455" 145 "\\C8\\ED\\9Eek"', self.simText())
        self.assertIn('entry 6 "+420603123456" 145 "M\\FCller \\C4"', self.simText())
        self.sm.DeleteMemory("SM", 2)
        with self.assertRaises(gammu.ERR_EMPTY):
            self.sm.GetMemory("SM", 2)

    def test_stores_an_sms_and_reads_it_back(self):
        self.assertEqual(self.sm.GetSMSC()["Number"], "+420603052000")
        message = {"SMSC": {"Location": 1}, "Number": "+420603123456", "Text": "Poplach",
                   "Folder": 2, "State": "UnSent", "Coding": "Default_No_Compression",
                   "Class": -1}
        location, folder = self.sm.AddSMS(message)
        read = self.sm.GetSMS(folder, location)[0]
        self.assertEqual(read["Number"], "+420603123456")
        self.assertEqual(read["Text"], "Poplach")
        self.assertEqual(read["State"], "UnSent")
        self.assertIn("message %d 2 " % location, self.simText())
        self.sm.DeleteSMS(folder, location)
        self.assertNotRegex(self.simText(), r"(?m)^message")


if __name__ == "__main__":
    unittest.main(verbosity=2)
