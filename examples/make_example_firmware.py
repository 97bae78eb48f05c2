#!/usr/bin/env python3
"""Writes VX94C6_example.eep, the example firmware file the demo updates the
simulated bridge with. Its content is a generated pattern, not real bridge
firmware: a configuration image in the bridge's layout, 6144 bytes of code
and a 4096-byte disk image.

    python3 examples/make_example_firmware.py [OUTPUT]
"""
import struct
import sys

CONFIG_SIZE = 512
HEADER_SIZE = 536
DISK_IMAGE_OFFSET = 10240
CODE_LENGTH = 6144
DISK_LENGTH = 4096


def string_descriptor(text):
    body = text.encode("utf-16-le")
    return bytes([2 + len(body), 3]) + body


def config_image():
    image = bytearray(CONFIG_SIZE)
    # Vendor ID twice, product ID, a version word, setting bytes.
    image[0:16] = struct.pack("<HHHHBBHHH", 0x1B7E, 0x1B7E, 0x94C6, 0x0100, 0x80, 0x32, 0, 0x0040, 0)
    chain = (bytes([4, 3, 0x09, 0x04])
             + string_descriptor("Example Cable Works")
             + string_descriptor("USB-To-USB Cable Bridge")
             + string_descriptor("EXAMPLE0000000001"))
    image[0x10:0x10 + len(chain)] = chain
    settings = bytes([0x12]) + bytes(range(0x40, 0x40 + 36))
    image[0x100:0x100 + len(settings)] = settings
    image[0x180:0x180 + len(settings)] = settings
    return bytes(image)


def pattern(length, seed):
    return bytes(((i * 31) ^ (i >> 8) ^ seed) & 0xFF for i in range(length))


def eep_file():
    code = pattern(CODE_LENGTH, 0x5A)
    checksum = sum(code) & 0xFFFF
    header = bytearray(HEADER_SIZE)
    header[0:CONFIG_SIZE] = config_image()
    header[524:530] = struct.pack("<IH", CODE_LENGTH, checksum)
    body = bytes(header) + code
    body += b"\xFF" * (DISK_IMAGE_OFFSET - len(body))
    return body + pattern(DISK_LENGTH, 0xA5)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "examples/VX94C6_example.eep"
    with open(output, "wb") as file:
        file.write(eep_file())


if __name__ == "__main__":
    main()
