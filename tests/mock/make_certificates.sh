#!/bin/sh
# A throwaway certificate authority and a server certificate for "localhost" in folder $1.
set -e
cd "$1"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tidewell Test CA" \
    -keyout ca.key -out ca.pem >/dev/null 2>&1
openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout server.key -out server.csr \
    >/dev/null 2>&1
printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >ext.cnf
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
    -extfile ext.cnf -out server.pem >/dev/null 2>&1
