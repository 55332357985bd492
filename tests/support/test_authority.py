# SPDX-License-Identifier: MIT
"""Makes in the folder given: ca.pem, a test authority the tests trust; server.pem/.key,
for 127.0.0.1 and localhost, issued by it; self.pem/.key, self-signed, trusted by nobody;
self.sha256, the self-signed certificate's fingerprint "AB:CD:..."."""

import datetime
import ipaddress
import pathlib
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID


def name(text):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])


def certificate(subject, key, issuer, issuer_key, is_ca):
    now = datetime.datetime.now(datetime.timezone.utc)
    builder = (x509.CertificateBuilder()
               .subject_name(name(subject)).issuer_name(name(issuer))
               .public_key(key.public_key()).serial_number(x509.random_serial_number())
               .not_valid_before(now - datetime.timedelta(days=1))
               .not_valid_after(now + datetime.timedelta(days=30))
               .add_extension(x509.BasicConstraints(ca=is_ca, path_length=None), critical=True))
    if not is_ca:
        builder = builder.add_extension(x509.SubjectAlternativeName([
            x509.IPAddress(ipaddress.ip_address("127.0.0.1")), x509.DNSName("localhost")]),
            critical=False)
    return builder.sign(issuer_key, hashes.SHA256())


def main(folder):
    path = pathlib.Path(folder)

    def write(stem, cert, key=None):
        (path / (stem + ".pem")).write_bytes(cert.public_bytes(serialization.Encoding.PEM))
        if key is not None:
            (path / (stem + ".key")).write_bytes(key.private_bytes(
                serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                serialization.NoEncryption()))

    authority = "Pellwick Test Authority"
    ca_key, server_key, self_key = (ec.generate_private_key(ec.SECP256R1()) for _ in range(3))
    write("ca", certificate(authority, ca_key, authority, ca_key, True))
    write("server", certificate("127.0.0.1", server_key, authority, ca_key, False), server_key)
    own = certificate("127.0.0.1", self_key, "127.0.0.1", self_key, False)
    write("self", own, self_key)
    (path / "self.sha256").write_text(own.fingerprint(hashes.SHA256()).hex(":").upper())


if __name__ == "__main__":
    main(sys.argv[1])
