"""Choosing the operating point: the calibrated score 0.5 where it meets the recall goal,
lower where it does not, never past the budget of negative images with a detection."""
import numpy as np
import pytest

from tevtrain import calibrate


def test_platt_scaling_recovers_a_known_logistic():
    rng = np.random.default_rng(0)
    z = rng.normal(0, 2, 20000)
    y = (rng.random(len(z)) < 1 / (1 + np.exp(-(1.5 * z - 1.0)))).astype(float)
    a, b = calibrate.platt(z, y)
    assert a == pytest.approx(1.5, abs=0.1)
    assert b == pytest.approx(-1.0, abs=0.1)


@pytest.mark.parametrize("what, platt_point, positives, negative_sets, expected", [
    ("platt point already reaches the recall goal", 0.3,
     [0.9] * 95 + [0.1] * 5, [[0.0] * 100], 0.3),
    ("lowered to reach the recall goal", 0.8,
     [0.9] * 80 + [0.5] * 15 + [0.1] * 5, [[0.0] * 100], 0.5),
    ("raised to keep negatives within budget", 0.3,
     [0.9] * 100, [[0.6] * 10 + [0.0] * 90], 0.6 + 1e-6),
    ("the budget holds for each set, not for their sum", 0.3,
     [0.9] * 100, [[0.0] * 1000, [0.7] * 5 + [0.0] * 45], 0.7 + 1e-6),
    ("no negatives: nothing to raise it for", 0.4, [0.2] * 100, [[]], 0.2),
])
def test_operating_threshold(what, platt_point, positives, negative_sets, expected):
    threshold = calibrate.operating_threshold(platt_point, np.array(positives),
                                              [np.array(n) for n in negative_sets])
    assert threshold == pytest.approx(expected), what


def test_negatives_are_kept_under_the_bar_the_module_reports_the_class_at():
    # Smoke is reported from 0.7: the negative at 0.6 must calibrate to under 0.7, not 0.5.
    scale = 2.0
    threshold = calibrate.operating_threshold(0.2, np.array([0.9] * 100),
                                              [np.array([0.6] * 10 + [0.0] * 90)], scale, 0.7)
    assert 0.2 < threshold < 0.6
    calibrated = 1 / (1 + np.exp(-scale * (calibrate.logit(0.6 + 1e-6) -
                                           calibrate.logit(threshold))))
    assert calibrated == pytest.approx(0.7, abs=1e-4)
