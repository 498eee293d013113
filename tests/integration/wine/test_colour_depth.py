"""An 8-bit display: the saver explains that it needs more colours, draws
nothing and ends with 0; the run still counts."""

from winetest import SaverTestCase, main


class EightBitDisplayTest(SaverTestCase):
    depth = 8

    def test_eight_bit_colour_is_refused_with_a_message(self):
        proc = self.start_saver("/s")
        box = self.saver_window(proc, title="^Chronovale$")
        self.assertEqual(self.xvfb.search_windows("^Screen Saver$"), [],
                         "the saver window stayed while refusing")
        self.dismiss(box)
        self.assertEqual(self.wait_exit(proc), 0)
        self.assert_dword(self.settings(), "UCS", 1)


if __name__ == "__main__":
    main()
