"""Calibrating the scores so that 0.5 is the operating point of each class.

Scores become sigmoid(scale * logit + shift). The scale comes from Platt scaling on the
validation detections (a detection is a success when it matches a true box at IoU 0.5).
The operating threshold, on the raw score, is the Platt point (calibrated score 0.5),
lowered where needed to reach RECALL_GOAL image-level recall, but never so low that more
than NEGATIVE_BUDGET of the images of any set of negatives (real, synthetic) get a
detection of the class at the score the module reports it at (REPORT_BAR: 0.5 for fire,
the default "SmokeScore" 0.7 for smoke). The shift then puts that threshold at 0.5.
"""
import numpy as np

from .evaluate import match

RECALL_GOAL = 0.92
REPORT_BAR = (0.5, 0.7)
NEGATIVE_BUDGET = 0.015  # per class: both classes together stay under 3 %


def logit(p):
    p = np.clip(p, 1e-6, 1 - 1e-6)
    return np.log(p / (1 - p))


def platt(z, y, iterations=50):
    """(a, b) maximising the likelihood of y under sigmoid(a z + b), by Newton's method."""
    a, b = 1.0, 0.0
    for _ in range(iterations):
        p = 1 / (1 + np.exp(-(a * z + b)))
        g = np.array([np.sum((p - y) * z), np.sum(p - y)])
        w = p * (1 - p) + 1e-9
        h = np.array([[np.sum(w * z * z), np.sum(w * z)], [np.sum(w * z), np.sum(w)]])
        h += 1e-6 * np.eye(2)
        step = np.linalg.solve(h, g)
        a, b = a - step[0], b - step[1]
        if np.abs(step).max() < 1e-8:
            break
    return float(a), float(b)


def best_scores(detections, cls):
    """Per image, the best score of the class (0 when none)."""
    return np.array([float(d[1][d[2] == cls].max()) if (d[2] == cls).any() else 0.0
                     for d in detections])


def operating_threshold(platt_point, positives_best, negative_sets_best, scale=1.0, bar=0.5):
    """The raw threshold of one class from the three rules of this module's docstring.

    positives_best: per image showing the class, its best score; negative_sets_best: per set
    of negatives, per image, its best score of the class; scale: the calibration's; bar: the
    calibrated score at which the module reports the class."""
    threshold = platt_point
    if len(positives_best):
        ranked = np.sort(positives_best)[::-1]
        at_goal = ranked[min(len(ranked) - 1, int(np.ceil(RECALL_GOAL * len(ranked))) - 1)]
        threshold = min(threshold, float(at_goal))
    for negatives_best in negative_sets_best:
        if len(negatives_best):
            ranked = np.sort(negatives_best)[::-1]
            allowed = int(np.floor(NEGATIVE_BUDGET * len(ranked)))
            if allowed < len(ranked):
                # The threshold t at which this raw score calibrates to the bar.
                floor = float(ranked[allowed]) + 1e-6
                threshold = max(threshold, float(1 / (1 + np.exp(
                    -(logit(floor) - logit(bar) / scale)))))
    return threshold


def calibrate(detections, truths, negative_sets):
    """Per class (scale, shift) and the record of how they were found.

    negative_sets: the detections of each set of negative images (real, synthetic)."""
    result, record = [], {}
    for cls, (name, bar) in enumerate(zip(("fire", "smoke"), REPORT_BAR)):
        scores, hits, _ = match(detections, truths, cls)
        labels = hits.astype(float)
        useful = scores >= 0.05
        a, b = platt(logit(scores[useful]), labels[useful]) if useful.sum() > 10 else (1.0, 0.0)
        a = max(a, 0.2)
        platt_point = float(1 / (1 + np.exp(b / a)))
        shown = [i for i, t in enumerate(truths) if (t[:, 0] == cls).any()]
        positives = best_scores([detections[i] for i in shown], cls)
        negatives = [best_scores(d, cls) for d in negative_sets]
        threshold = operating_threshold(platt_point, positives, negatives, a, bar)
        shift = -a * float(logit(threshold))
        result.append((a, shift))
        record[name] = {"platt_scale": a, "platt_point": platt_point,
                        "raw_threshold": threshold, "scale": a, "shift": shift}
    return result, record
