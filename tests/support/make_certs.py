#!/usr/bin/python3
"""Makes the certificates the TLS tests use, in the folder given as the argument:
ca.pem (a certificate authority of the tests' own), and for each server certificate a PEM
file holding the certificate followed by its key: trusted.pem (issued by ca.pem for 127.0.0.1,
::1 and localhost), wrong-name.pem (issued by ca.pem for another host) and self-signed.pem (for
127.0.0.1, issued by itself)."""

import datetime
import ipaddress
import os
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID


def name(common_name):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, common_name)])


def certificate(subject, key, issuer, issuer_key, alt_names, authority):
    now = datetime.datetime.now(datetime.timezone.utc)
    builder = (
        x509.CertificateBuilder()
        .subject_name(name(subject))
        .issuer_name(name(issuer))
        .public_key(key.public_key())
        .serial_number(x509.random_serial_number())
        .not_valid_before(now - datetime.timedelta(days=1))
        .not_valid_after(now + datetime.timedelta(days=30))
        .add_extension(x509.BasicConstraints(ca=authority, path_length=None), critical=True)
    )
    if alt_names:
        builder = builder.add_extension(x509.SubjectAlternativeName(alt_names), critical=False)
    return builder.sign(issuer_key, hashes.SHA256())


def pem(cert):
    return cert.public_bytes(serialization.Encoding.PEM)


def key_pem(key):
    return key.private_bytes(
        serialization.Encoding.PEM,
        serialization.PrivateFormat.PKCS8,
        serialization.NoEncryption(),
    )


def write(folder, file_name, data):
    with open(os.path.join(folder, file_name), "wb") as out:
        out.write(data)


def main():
    folder = sys.argv[1]
    loopback = [
        x509.IPAddress(ipaddress.ip_address("127.0.0.1")),
        x509.IPAddress(ipaddress.ip_address("::1")),
        x509.DNSName("localhost"),
    ]

    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca = certificate("HostVane test CA", ca_key, "HostVane test CA", ca_key, None, True)
    write(folder, "ca.pem", pem(ca))

    servers = {
        "trusted.pem": ("127.0.0.1", loopback, None),
        "wrong-name.pem": ("ftp.elsewhere.example", [x509.DNSName("ftp.elsewhere.example")], None),
        "self-signed.pem": ("127.0.0.1", loopback, "self"),
    }
    for file_name, (subject, alt_names, issued_by) in servers.items():
        key = ec.generate_private_key(ec.SECP256R1())
        if issued_by == "self":
            cert = certificate(subject, key, subject, key, alt_names, False)
        else:
            cert = certificate(subject, key, "HostVane test CA", ca_key, alt_names, False)
        write(folder, file_name, pem(cert) + key_pem(key))


main()
