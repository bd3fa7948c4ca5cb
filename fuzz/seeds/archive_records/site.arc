filedesc://x.arc 0.0.0.0 19990101000000 text/plain 65
1 0 Test
URL IP-address Archive-date Content-type Archive-length

http://a.com/ 1.2.3.4 19990101000000 text/html 82
HTTP/1.0 200 X
Content-Type: text/html
Content-Length: 19

<title>Arc</title>x
