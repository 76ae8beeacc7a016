"""The ways the suites can present the watch to the program under test, by name.

Each entry makes the presenters of one suite's runs from the suite's arguments; they are
closed when the suite ends. The Wine presenter is imported only when asked for.
"""

from harness import HidrawPresenter


class HidrawPresenters:
    """A presenter of its own for each run (`make`); the runs share nothing."""

    def __init__(self, args):
        self.watchsim = args.watchsim

    def make(self):
        return HidrawPresenter(self.watchsim)

    def close(self):
        pass


def wine_presenters(args):
    """The watch on Wine's HID bus, for the Windows build (needs --probe, --wine-prefix)."""
    from wine_presenter import WinePresenters
    return WinePresenters(args)


PRESENTERS = {"hidraw": HidrawPresenters, "wine": wine_presenters}
