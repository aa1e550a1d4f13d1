#!/usr/bin/env python3
"""Signs a copy of the installer with a throwaway test publisher and checks the
signature: it verifies against the test root, names the test publisher as
signer, and no longer verifies once one byte of the program is changed.

The root and the publisher's certificate are made here, in a scratch folder
of the build tree, and removed afterwards; no key is ever kept.
"""
import argparse
import pathlib
import shutil
import subprocess
import sys

PUBLISHER = "Tarnwick Test Publisher"
TIMEOUT_S = 60


def run(*args, check=True):
    result = subprocess.run([str(a) for a in args], capture_output=True, text=True, timeout=TIMEOUT_S)
    if check and result.returncode != 0:
        sys.exit(f"FAIL: {' '.join(map(str, args))}\n{result.stdout}{result.stderr}")
    return result


def make_test_publisher(openssl, folder):
    """A self-signed root and a code-signing certificate it issued."""
    root_key, root_cert = folder / "root.key", folder / "root.pem"
    leaf_key, leaf_csr, leaf_cert = folder / "publisher.key", folder / "publisher.csr", folder / "publisher.pem"
    run(openssl, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
        "-keyout", root_key, "-out", root_cert, "-subj", "/CN=Tarnwick Test Root",
        "-addext", "basicConstraints=critical,CA:TRUE",
        "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    run(openssl, "req", "-newkey", "rsa:2048", "-nodes",
        "-keyout", leaf_key, "-out", leaf_csr, "-subj", f"/CN={PUBLISHER}")
    extensions = folder / "publisher.ext"
    extensions.write_text("basicConstraints=critical,CA:FALSE\n"
                          "keyUsage=critical,digitalSignature\n"
                          "extendedKeyUsage=codeSigning\n")
    run(openssl, "x509", "-req", "-days", "2", "-in", leaf_csr, "-CA", root_cert, "-CAkey", root_key,
        "-CAcreateserial", "-extfile", extensions, "-out", leaf_cert)
    return root_cert, leaf_cert, leaf_key


def verify(osslsigncode, root_cert, program):
    return run(osslsigncode, "verify", "-CAfile", root_cert, "-in", program, check=False)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, type=pathlib.Path)
    parser.add_argument("--sign-exe", required=True)
    parser.add_argument("--osslsigncode", required=True)
    parser.add_argument("--openssl", required=True)
    parser.add_argument("--work", required=True, type=pathlib.Path)
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    args.work.mkdir(parents=True)
    failures = []
    try:
        root_cert, leaf_cert, leaf_key = make_test_publisher(args.openssl, args.work)
        signed = args.work / args.program.name
        shutil.copyfile(args.program, signed)
        unsigned_size = signed.stat().st_size
        run(args.sign_exe, "--tool", args.osslsigncode, leaf_cert, leaf_key, signed)

        result = verify(args.osslsigncode, root_cert, signed)
        report = result.stdout + result.stderr
        if result.returncode != 0 or "Signature verification: ok" not in report:
            failures.append(f"the signed copy does not verify:\n{report}")
        if f"Subject: /CN={PUBLISHER}" not in report.split("Signing certificate chain")[0]:
            failures.append(f"the signer is not {PUBLISHER}:\n{report}")

        # A byte in the middle of the image (code or data, inside the
        # signed digest), as a patch or a download error would change it.
        tampered = args.work / ("tampered-" + args.program.name)
        image = bytearray(signed.read_bytes())
        image[unsigned_size // 2] ^= 0x01
        tampered.write_bytes(image)
        result = verify(args.osslsigncode, root_cert, tampered)
        if result.returncode == 0:
            failures.append("a copy with one byte changed still verifies:\n" + result.stdout)
    finally:
        shutil.rmtree(args.work, ignore_errors=True)

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        return 1
    print(f"signed by {PUBLISHER}, verified, and rejected after a one-byte change")
    return 0


if __name__ == "__main__":
    sys.exit(main())
