# libcurl built from Debian's source package (filled in with the transport)
