"""Validation figures: per-class AP at IoU 0.5 and 0.5:0.95 (COCO's 101-point
interpolation), image-level recall, the share of negative images with any detection, and
detection precision and recall at given score thresholds.

Images are letterboxed whole into the model's input, as the engine does; boxes are compared
there (a uniform scale changes no IoU). Non-maximum suppression is OpenCV's, per class, as in
the engine.
"""
import cv2
import numpy as np
import torch

from . import augment
from .data import to_tensor
from .model import anchor_points, distances_to_boxes

NMS_IOU = 0.45
FLOOR = 0.01
MAX_PER_IMAGE = 100


def iou_matrix(a, b):
    """IoU of every box of a (n x 4) with every box of b (m x 4)."""
    lt = np.maximum(a[:, None, :2], b[None, :, :2])
    rb = np.minimum(a[:, None, 2:], b[None, :, 2:])
    inter = np.clip(rb - lt, 0, None).prod(-1)
    area_a = (a[:, 2:] - a[:, :2]).prod(-1)
    area_b = (b[:, 2:] - b[:, :2]).prod(-1)
    return inter / (area_a[:, None] + area_b[None, :] - inter + 1e-9)


def suppress(boxes, scores, classes, nms_iou=NMS_IOU):
    """Per-class NMS (OpenCV's), best first. boxes n x 4 corners."""
    keep = []
    for c in np.unique(classes):
        idx = np.flatnonzero(classes == c)
        xywh = [[float(x1), float(y1), float(x2 - x1), float(y2 - y1)]
                for x1, y1, x2, y2 in boxes[idx]]
        chosen = cv2.dnn.NMSBoxes(xywh, scores[idx].tolist(), 0.0, nms_iou)
        keep += [int(idx[i]) for i in np.array(chosen).reshape(-1)]
    keep.sort(key=lambda i: -scores[i])
    return keep[:MAX_PER_IMAGE]


@torch.no_grad()
def predict(model, images, size, calibration=None, batch_size=32):
    """Detections per image: (boxes n x 4, scores n, classes n) in letterboxed pixels.

    calibration: per-class (scale, shift) applied to the logits, as the export does."""
    model.eval()
    points, _ = anchor_points(size)
    out = []
    for start in range(0, len(images), batch_size):
        batch = to_tensor(images[start:start + batch_size])
        logits, distances = model(batch)
        if calibration is not None:
            scale = torch.tensor([c[0] for c in calibration])
            shift = torch.tensor([c[1] for c in calibration])
            logits = logits * scale + shift
        scores = logits.sigmoid().numpy()
        boxes = distances_to_boxes(points, distances).numpy()
        for s, b in zip(scores, boxes):
            anchor, cls = np.nonzero(s > FLOOR)
            conf = s[anchor, cls]
            keep = suppress(b[anchor], conf, cls)
            out.append((b[anchor][keep], conf[keep], cls[keep]))
    return out


def letterbox_all(samples, size):
    images, truths = [], []
    for sample in samples:
        image, boxes = augment.letterboxed(sample.image, sample.boxes, size)
        images.append(image)
        truths.append(boxes)
    return images, truths


def match(detections, truths, cls, iou_threshold=0.5):
    """Greedy matching of one class, best score first within each image: (scores, hits, number
    of true boxes), a detection a hit when it takes a true box not yet taken at
    iou_threshold or more."""
    scores, hits, total = [], [], 0
    for (boxes, s, classes), truth in zip(detections, truths):
        gt = truth[truth[:, 0] == cls][:, 1:]
        total += len(gt)
        mine = np.flatnonzero(classes == cls)
        mine = mine[np.argsort(-s[mine], kind="stable")]
        taken = np.zeros(len(gt), bool)
        ious = iou_matrix(boxes[mine], gt) if len(gt) else np.zeros((len(mine), 0))
        for row, i in enumerate(mine):
            hit = False
            if len(gt):
                candidates = np.where(taken, -1, ious[row])
                j = int(candidates.argmax())
                if candidates[j] >= iou_threshold:
                    taken[j] = hit = True
            scores.append(s[i])
            hits.append(hit)
    return np.array(scores), np.array(hits, dtype=bool), total


def average_precision(detections, truths, cls, iou_threshold):
    """Area under the 101-point interpolated precision-recall curve of one class."""
    scores, hits, total = match(detections, truths, cls, iou_threshold)
    if total == 0:
        return float("nan")
    hits = hits[np.argsort(-scores, kind="stable")].astype(float)
    tp = np.cumsum(hits)
    fp = np.cumsum(1 - hits)
    recall = tp / total
    precision = tp / np.maximum(tp + fp, 1e-9)
    precision = np.maximum.accumulate(precision[::-1])[::-1] if len(precision) else precision
    points = np.linspace(0, 1, 101)
    sampled = [precision[np.searchsorted(recall, r, side="left")]
               if np.searchsorted(recall, r, side="left") < len(recall) else 0.0 for r in points]
    return float(np.mean(sampled))


def matched(detections, truths, cls, threshold, iou_threshold=0.5):
    """Detection precision and recall of one class at a score threshold. Matching best score
    first, the detections at or above the threshold match as they would alone."""
    scores, hits, total = match(detections, truths, cls, iou_threshold)
    kept = scores >= threshold
    tp = int(hits[kept].sum())
    return tp / max(int(kept.sum()), 1), tp / max(total, 1)


def image_recall(detections, truths, cls, threshold):
    """Share of images showing the class in which any detection of it reaches threshold."""
    shown = [(d, t) for d, t in zip(detections, truths) if (t[:, 0] == cls).any()]
    found = sum(bool(((d[2] == cls) & (d[1] >= threshold)).any()) for d, _ in shown)
    return found / max(len(shown), 1), len(shown)


def negative_share(detections, threshold):
    """Share of (negative) images with any detection reaching threshold."""
    hit = sum(bool((d[1] >= threshold).any()) for d in detections)
    return hit / max(len(detections), 1)


def figures(detections, truths, thresholds=(0.25, 0.5)):
    """The validation figures of detections on images with truth (real or synthetic)."""
    result = {}
    for cls, name in enumerate(("fire", "smoke")):
        aps = [average_precision(detections, truths, cls, t) for t in np.arange(0.5, 0.96, 0.05)]
        entry = {"AP50": aps[0], "AP50_95": float(np.mean(aps))}
        for threshold in thresholds:
            precision, recall = matched(detections, truths, cls, threshold)
            image, count = image_recall(detections, truths, cls, threshold)
            entry[f"at{threshold}"] = {"precision": precision, "recall": recall,
                                       "image_recall": image, "images": count}
        result[name] = entry
    return result
