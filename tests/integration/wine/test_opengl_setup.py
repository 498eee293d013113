"""The OpenGL window's set-up as Wine's own traces record it: the
pixel-format request, buffer swaps or flushes, the swap interval, the
context's release and the monitor power-saving switches. The trace lines are
those of Wine 8's opengl32, winex11 and user32; a run that shows none of them
fails rather than passes."""

import re
import time

from winetest import SaverTestCase, main

TRACE_CHANNELS = "-all,+wgl,+opengl"
REQUEST = re.compile(r"trace:opengl:wglChoosePixelFormat \S+ \S+: size (\d+) version (\d+) "
                     r"flags (\d+) type (\d+) color (\d+) .*? depth (\d+) stencil (\d+) aux (\d+)")
SWAP = "trace:wgl:glxdrv_wglSwapBuffers"
SWAP_INTERVAL_OFF = "trace:wgl:X11DRV_wglSwapIntervalEXT (0)"
CONTEXT_DELETED = "trace:wgl:glxdrv_wglDeleteContext"
CONTEXT_CREATED = "trace:wgl:glxdrv_wglCreateContext"

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
# SystemParametersInfoA (action, number, pointer, profile flags)
POWER_CALL = re.compile(r"trace:system:SystemParametersInfoA \((\d+), (\d+), \w+, (\d+)\)")
SPI_GETLOWPOWERACTIVE, SPI_GETPOWEROFFACTIVE = 0x53, 0x54
SPI_SETLOWPOWERACTIVE, SPI_SETPOWEROFFACTIVE = 0x55, 0x56

PFD_DRAW_TO_WINDOW, PFD_SUPPORT_OPENGL, PFD_DOUBLEBUFFER = 0x4, 0x20, 0x1
PFD_TYPE_RGBA = 0
DESKTOP_BITS = 32  # what Wine reports for a 24-bit X screen


class OpenGlSetupTest(SaverTestCase):

    def traced_run(self, double_buffering, vsync):
        self.wine.reg_add("BCS", "REG_DWORD", 1)
        self.wine.reg_add("DoubleBuffering", "REG_DWORD", double_buffering)
        self.wine.reg_add("VsyncEnabled", "REG_DWORD", vsync)
        proc = self.start_saver("/s", env=self.wine.env(WINEDEBUG=TRACE_CHANNELS))
        code, _, trace = self.procs.wait(proc, 60)
        self.assertEqual(code, 0)
        return trace

    def assert_request(self, trace, flags):
        requests = REQUEST.findall(trace)
        self.assertEqual(len(requests), 1, "one pixel-format request expected")
        size, version, got_flags, pixel_type, color, depth, stencil, aux = map(int, requests[0])
        self.assertEqual((size, version), (40, 1))
        self.assertEqual(got_flags, flags, "requested flags 0x%x" % got_flags)
        self.assertEqual(pixel_type, PFD_TYPE_RGBA)
        self.assertEqual(color, DESKTOP_BITS)
        self.assertEqual((depth, stencil, aux), (32, 0, 0))

    def test_double_buffered_with_the_drivers_swap_interval(self):
        trace = self.traced_run(double_buffering=1, vsync=1)
        self.assert_request(trace, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER)
        self.assertGreater(trace.count(SWAP), 10, "frames were not swapped")
        self.assertNotIn(SWAP_INTERVAL_OFF, trace)
        self.assertEqual(trace.count(CONTEXT_CREATED), 1)
        self.assertEqual(trace.count(CONTEXT_DELETED), 1)

    def test_single_buffered_without_waiting_for_the_retrace(self):
        trace = self.traced_run(double_buffering=0, vsync=0)
        self.assert_request(trace, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL)
        self.assertEqual(trace.count(SWAP), 0, "a single-buffered view swapped")
        self.assertIn(SWAP_INTERVAL_OFF, trace)
        self.assertEqual(trace.count(CONTEXT_DELETED), 1)

    def power_calls(self, permit):
        self.wine.run_wine(["reg", "add", DESKTOP_KEY, "/v", "PowerOffActive", "/t", "REG_SZ",
                            "/d", "1", "/f"])
        self.wine.run_wine(["reg", "add", DESKTOP_KEY, "/v", "LowPowerActive", "/t", "REG_SZ",
                            "/d", "0", "/f"])
        self.wine.reg_add("PermitMonitorPowerSaving", "REG_DWORD", permit)
        self.wine.reg_add("BCS", "REG_DWORD", 3)
        proc = self.start_saver("/s", env=self.wine.env(WINEDEBUG="-all,+system"))
        self.saver_window(proc)
        time.sleep(1)
        _, stored = self.wine.run_wine(["reg", "query", DESKTOP_KEY, "/v", "PowerOffActive"])
        code, _, trace = self.procs.wait(proc, 60)
        self.assertEqual(code, 0)
        power = (SPI_GETLOWPOWERACTIVE, SPI_GETPOWEROFFACTIVE, SPI_SETLOWPOWERACTIVE,
                 SPI_SETPOWEROFFACTIVE)
        calls = [tuple(map(int, c)) for c in POWER_CALL.findall(trace)]
        return [c for c in calls if c[0] in power], stored

    def test_monitor_power_off_is_suspended_for_the_session_only(self):
        calls, stored = self.power_calls(permit=0)
        # Power-off was active: off while running, on again at the end; low
        # power was not: asked about, never touched. Nothing goes to the profile.
        self.assertEqual(calls, [(SPI_GETPOWEROFFACTIVE, 0, 0), (SPI_SETPOWEROFFACTIVE, 0, 0),
                                 (SPI_GETLOWPOWERACTIVE, 0, 0), (SPI_SETPOWEROFFACTIVE, 1, 0)])
        self.assertRegex(stored, r"PowerOffActive\s+REG_SZ\s+1",
                         "the switch was written to the profile")

    def test_permitted_power_saving_is_left_alone(self):
        calls, _ = self.power_calls(permit=1)
        self.assertEqual(calls, [])


if __name__ == "__main__":
    main()
