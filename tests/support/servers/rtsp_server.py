#!/usr/bin/python3
"""An RTSP camera on 127.0.0.1 (GStreamer's RTSP server): a moving test picture
at /live, as H.264 or MJPEG, over TCP only. Prints its port and stops after --lifetime seconds."""
import argparse
import socket

import gi

gi.require_version("Gst", "1.0")
gi.require_version("GstRtsp", "1.0")
gi.require_version("GstRtspServer", "1.0")
from gi.repository import GLib, Gst, GstRtsp, GstRtspServer  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--codec", choices=["h264", "mjpeg"], default="h264")
parser.add_argument("--size", default="320x240")
parser.add_argument("--rate", type=int, default=25)
parser.add_argument("--lifetime", type=float, default=60)
args = parser.parse_args()

Gst.init(None)
width, height = args.size.split("x")
source = (f"videotestsrc is-live=true pattern=ball ! video/x-raw,width={width},height={height},"
          f"framerate={args.rate}/1 ! videoconvert ! ")
if args.codec == "h264":
    encode = "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=25 ! rtph264pay name=pay0 pt=96"
else:
    encode = "jpegenc ! rtpjpegpay name=pay0 pt=26"

probe = socket.socket()
probe.bind(("127.0.0.1", 0))
port = probe.getsockname()[1]
probe.close()

server = GstRtspServer.RTSPServer()
server.set_address("127.0.0.1")
server.set_service(str(port))
factory = GstRtspServer.RTSPMediaFactory()
factory.set_launch(f"( {source}{encode} )")
factory.set_shared(True)
# Interleaved in the RTSP connection only, as cameras behind a firewall allow.
factory.set_protocols(GstRtsp.RTSPLowerTrans.TCP)
server.get_mount_points().add_factory("/live", factory)
server.attach(None)
print(port, flush=True)
loop = GLib.MainLoop()
GLib.timeout_add(int(args.lifetime * 1000), loop.quit)
loop.run()
