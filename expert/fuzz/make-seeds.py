#!/usr/bin/env python3
"""Writes the seed corpus of the expert's fuzz target into corpus/ beside it.

Each seed is a script for the hostile driver in the form DriverCommands.h
describes: a settings byte (and the refused byte when bit 0 is set), then
commands, each an opcode byte and its operands. Numbers are little-endian.
Run it again after a change of that form; it rewrites every seed below and
leaves other files of corpus/ (inputs the fuzzer found) alone.
"""

import pathlib
import struct

# In the order of the Command enumeration in DriverCommands.cpp.
OPCODES = [
    "AddCamera", "AddRawCamera", "RemoveCamera", "EditCamera", "PatchCamera",
    "CopyCameraInOtherCase", "SwapCameras",
    "AddFrameGrabber", "AddRawFrameGrabber", "RemoveFrameGrabber", "EditFrameGrabber",
    "PatchFrameGrabber", "CopyFrameGrabberInOtherCase", "SwapFrameGrabbers",
    "AnswerCameraList", "AnswerFrameGrabberList", "AnswerProperties", "AnswerDriverNames",
    "AnswerDriverVersion", "Pass",
]
BUSES = ["ipv4", "IPcm", "USB3", "UVC", "1394", "CLNK", "sim"]  # anything else: 7 and a word
TERMINATED, FILLS_FIELD, JUNK_AFTER_TERMINATOR = 0, 1, 2
NOTHING, NAME_TERMINATED, NAME_UNTERMINATED, FILLS_BUFFER = 0, 1, 2, 3
EDIT_CAMERA = {"entry word": 0, "serial high": 1, "serial low": 2, "bus": 3, "interface": 4,
               "vendor": 5, "model": 6, "spare text": 7}
EDIT_FRAME_GRABBER = {"name": 0, "model": 1, "serial": 2, "bus": 3}


def op(name, *operands):
    return bytes([OPCODES.index(name)]) + b"".join(operands)


def u8(value):
    return bytes([value & 0xFF])


def word16(value):
    return struct.pack("<H", value & 0xFFFF)


def word(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def text(value, shape=TERMINATED):
    data = value.encode("latin-1") if isinstance(value, str) else value
    return u8(shape) + u8(len(data)) + data


def status(value):
    """A status operand: 0, or an odd signed byte."""
    return u8(value)


def settings(refused=None, frame_grabbers_own_empty_name=False):
    flags = (1 if refused is not None else 0) | (2 if frame_grabbers_own_empty_name else 0)
    return u8(flags) + (u8(ord(refused)) if refused is not None else b"")


def bus(kind):
    return u8(BUSES.index(kind)) if kind in BUSES else u8(7) + word(kind)


def camera(kind, interface, vendor="Kroneth", model="KR Cam", serial=(0, 1),
           shapes=(TERMINATED, TERMINATED, TERMINATED)):
    return op("AddCamera", bus(kind), word(serial[0]), word(serial[1]),
              text(interface, shapes[0]), text(vendor, shapes[1]), text(model, shapes[2]))


def frame_grabber(name, model="KR FG-CL Dual Base", bus_word=0x50434965, serial=(1, 0xF3A0001),
                  identifiers=(0x1E4E, 0x0897), widths=(4, 8), speeds=(0, 2),
                  shapes=(TERMINATED, TERMINATED)):
    return op("AddFrameGrabber", word(bus_word), word(serial[0]), word(serial[1]),
              word16(identifiers[0]), word16(identifiers[1]), u8(widths[0]), u8(widths[1]),
              u8(speeds[0]), u8(speeds[1]), text(name, shapes[0]), text(model, shapes[1]))


def list_answers(name, counting_status=0, filling_status=0, counting_skew=0, filling_skew=0):
    return op(name, status(counting_status), status(filling_status), u8(counting_skew),
              u8(filling_skew))


def property_answers(*answers):
    """Each answer: (status, writes the value, value)."""
    return op("AnswerProperties", u8(len(answers)),
              *[status(s) + u8(1 if writes else 0) + word(v) for s, writes, v in answers])


def driver_names(*answers):
    """Each answer: (form, status, text)."""
    return op("AnswerDriverNames", u8(len(answers)),
              *[u8(form) + status(s) + u8(len(t)) + t.encode("latin-1") for form, s, t in answers])


PASS = op("Pass")
NETWORK_ANSWERS = property_answers((0, True, 0xC0A80A15), (0, True, 0xFFFFFF00))
DRIVER_NAME = driver_names((NAME_TERMINATED, 0, "VyrexGEV"))

SEEDS = {
    "empty": b"",
    "every-bus": settings() + NETWORK_ANSWERS + DRIVER_NAME
    + camera("ipv4", "gev0-cam0", model="KR GC-2450M", serial=(0x4B52, 0x00A1F3C2))
    + camera("IPcm", "ipcam0", vendor="Veltrix Security", model="VS-IP4K Dome")
    + camera("USB3", "usb3-1.2", model="KR U3-1280C")
    + camera("UVC", "uvc0", vendor="Lumora", model="LightCam HD 1080")
    + camera("1394", "fw0-node2", vendor="Falkenried Imaging", model="FR-1394 Mono")
    + camera("CLNK", "clfg0_0", serial=(0, 0x4C2A0017))
    + camera("sim", "sim0", model="KR SimCam")
    + camera(0x41424344, "other0", vendor="", model="")
    + frame_grabber("#clfg0") + PASS + PASS,
    "camera-link-names": settings()
    + camera("CLNK", "clfg0_0", serial=(0, 1))
    + camera("CLNK", "clfg0_1", serial=(1, 2))
    + camera("CLNK", "clfg1_0_1", serial=(0, 3))
    + camera("CLNK", "clfg2", serial=(7, 4))
    + camera("CLNK", "_0cut-at-start", serial=(0, 5))
    + camera("CLNK", "clfg3_0", serial=(0, 6))
    + camera("CLNK", "clfg3_1", serial=(0, 7))
    + camera("ipv4", "clfg4::0") + camera("CLNK", "CLFG4_1", serial=(0, 8))
    + PASS
    + op("EditCamera", u8(0), u8(EDIT_CAMERA["serial high"]), word(1))
    + op("EditCamera", u8(3), u8(EDIT_CAMERA["bus"]), u8(BUSES.index("ipv4")))
    + PASS + op("RemoveCamera", u8(5)) + PASS,
    "frame-grabbers": settings()
    + frame_grabber("#clfg0")
    + frame_grabber("#cxpfg0", model="KR FG-CXP Quad", widths=(16, 32), speeds=(1, 5))
    + frame_grabber("#odd", widths=(3, 0), speeds=(255, 2), identifiers=(0xFFFF, 0))
    + PASS
    + op("EditFrameGrabber", u8(1), u8(EDIT_FRAME_GRABBER["model"]), text("KR FG-CXP Octo"))
    + op("EditFrameGrabber", u8(2), u8(EDIT_FRAME_GRABBER["serial"]), word(0), word(0))
    + PASS
    + op("PatchFrameGrabber", u8(0), word16(16), u8(4), b"\x01\x02\x03\x04")
    + op("RemoveFrameGrabber", u8(2)) + PASS,
    "letter-case": settings()
    + camera("ipv4", "gev0-cam0") + camera("USB3", "usb3-1.2")
    + op("CopyCameraInOtherCase", u8(0), u8(0xFF), u8(0))
    + frame_grabber("#clfg0")
    + op("CopyFrameGrabberInOtherCase", u8(0), u8(0x0F), u8(0))
    + PASS
    + op("CopyCameraInOtherCase", u8(1), u8(0x55), u8(1))
    + op("SwapCameras", u8(0), u8(2))
    + PASS
    + op("CopyFrameGrabberInOtherCase", u8(1), u8(0xFF), u8(1))
    + op("SwapFrameGrabbers", u8(0), u8(1))
    + PASS + op("RemoveCamera", u8(0)) + PASS,
    "unterminated-texts": settings() + DRIVER_NAME
    + camera("ipv4", "gev-long-", vendor="Kroneth ", model="KR ",
             shapes=(FILLS_FIELD, FILLS_FIELD, FILLS_FIELD))
    + camera("UVC", "uvc0", vendor="Lumora", model="LightCam",
             shapes=(JUNK_AFTER_TERMINATOR, JUNK_AFTER_TERMINATOR, JUNK_AFTER_TERMINATOR))
    + camera("CLNK", "cl_0_long", shapes=(FILLS_FIELD, TERMINATED, TERMINATED))
    + frame_grabber("#fg-long-", shapes=(FILLS_FIELD, FILLS_FIELD))
    + frame_grabber("#fg1", shapes=(JUNK_AFTER_TERMINATOR, JUNK_AFTER_TERMINATOR))
    + PASS
    + op("EditCamera", u8(1), u8(EDIT_CAMERA["vendor"]), text("Lumora", JUNK_AFTER_TERMINATOR))
    + op("EditCamera", u8(1), u8(EDIT_CAMERA["spare text"]), u8(1), text("spare", FILLS_FIELD))
    + op("EditFrameGrabber", u8(1), u8(EDIT_FRAME_GRABBER["name"]), text("#fg1x", TERMINATED))
    + PASS,
    "camera-counts": settings()
    + camera("ipv4", "a") + camera("ipv4", "b") + camera("ipv4", "c")
    + list_answers("AnswerCameraList", counting_skew=2, filling_skew=3) + PASS
    + list_answers("AnswerCameraList", counting_skew=-1, filling_skew=-1) + PASS
    + list_answers("AnswerCameraList", counting_status=-1, filling_status=3, filling_skew=60)
    + PASS + list_answers("AnswerCameraList", counting_skew=-3) + PASS,
    "frame-grabber-counts": settings(frame_grabbers_own_empty_name=True)
    + camera("ipv4", "cam0") + frame_grabber("#a") + frame_grabber("#b") + frame_grabber("#c")
    + list_answers("AnswerFrameGrabberList", counting_skew=2, filling_skew=4) + PASS
    + list_answers("AnswerFrameGrabberList", counting_skew=-2) + PASS
    + list_answers("AnswerFrameGrabberList", filling_status=-1) + PASS
    + list_answers("AnswerFrameGrabberList", counting_status=1) + PASS
    + list_answers("AnswerFrameGrabberList", filling_skew=100)
    + list_answers("AnswerCameraList", filling_skew=5) + PASS,
    "driver-names": settings()
    + driver_names((NOTHING, -1, ""), (NAME_TERMINATED, 0, "V" * 255),
                   (NAME_UNTERMINATED, 0, "VyrexU3V"), (FILLS_BUFFER, 3, "VyrexGEV-"))
    + camera("ipv4", "gev0") + camera("USB3", "usb0") + camera("1394", "fw0")
    + PASS + PASS + PASS + op("AnswerDriverVersion", word(0x00030201), status(0)) + PASS,
    "property-answers": settings()
    + property_answers((0, True, 0xC0A80A15), (1, True, 7), (0, False, 9), (-1, False, 0),
                       (0, True, 0xFFFFFFFF))
    + camera("ipv4", "gev0") + camera("IPcm", "ip0") + camera("USB3", "usb0")
    + camera("UVC", "uvc0") + camera("1394", "fw0")
    + PASS + PASS + op("AnswerProperties", u8(0)) + PASS,
    "refused-names": settings(refused="!")
    + camera("ipv4", "cam!0") + camera("ipv4", "cam1", vendor="Ven!dor")
    + camera("CLNK", "cl!_0") + camera("CLNK", "clx_0!") + camera("USB3", "usb0", model="M!")
    + frame_grabber("#fg!") + frame_grabber("#fg1", model="KR!")
    + PASS
    + op("EditCamera", u8(0), u8(EDIT_CAMERA["interface"]), text("cam0"))
    + op("EditCamera", u8(2), u8(EDIT_CAMERA["interface"]), text("cl!", FILLS_FIELD))
    + PASS,
    "raw-records": settings()
    + op("AddRawCamera", word16(2584), bytes((i * 7 + 3) & 0xFF for i in range(2584)))
    + op("AddRawCamera", word16(6), b"raw\x00\x05\x80")
    + op("AddRawFrameGrabber", word16(3), b"\x11#x")
    + op("AddRawFrameGrabber", word16(0))
    + PASS
    + op("PatchCamera", u8(1), word16(24), u8(5), b"CLNK_")
    + op("PatchCamera", u8(1), word16(20), u8(4), b"KNLC")
    + op("PatchFrameGrabber", u8(1), word16(52), u8(3), b"new")
    + PASS,
    "add-change-remove": settings()
    + NETWORK_ANSWERS + camera("ipv4", "gev0-cam0") + frame_grabber("#clfg0") + PASS
    + camera("USB3", "usb3-1.2") + PASS
    + op("EditCamera", u8(0), u8(EDIT_CAMERA["serial low"]), word(42)) + PASS
    + op("EditCamera", u8(0), u8(EDIT_CAMERA["entry word"]), u8(2), word(5))
    + op("RemoveFrameGrabber", u8(0)) + PASS
    + op("RemoveCamera", u8(1)) + op("RemoveCamera", u8(0)) + PASS,
}


def main():
    corpus = pathlib.Path(__file__).resolve().parent / "corpus"
    corpus.mkdir(exist_ok=True)
    for name, data in SEEDS.items():
        (corpus / name).write_bytes(data)


if __name__ == "__main__":
    main()
