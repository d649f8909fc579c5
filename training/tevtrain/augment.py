"""Training views: one S x S image with its boxes, made from one sample or a mosaic of four.

Boxes are n x 5 arrays (class, x1, y1, x2, y2 in pixels). A box cut by the view's edge is
kept when at least MIN_VISIBLE of it stays in view and it is at least MIN_SIDE pixels on
each side. Grey 114 fills what no image covers, as in the engine's letterbox.
"""
import cv2
import numpy as np

PAD = 114
MIN_VISIBLE = 0.35
MIN_SIDE = 3.0


def place(image, boxes, size, scale, offset):
    """image scaled by `scale` and pasted at `offset` (x, y) into a size x size grey canvas."""
    canvas = np.full((size, size, 3), PAD, np.uint8)
    h, w = image.shape[:2]
    sw, sh = max(1, int(round(w * scale))), max(1, int(round(h * scale)))
    scaled = cv2.resize(image, (sw, sh), interpolation=cv2.INTER_LINEAR if scale > 1 else
                        cv2.INTER_AREA)
    ox, oy = int(round(offset[0])), int(round(offset[1]))
    x0, y0 = max(0, ox), max(0, oy)
    x1, y1 = min(size, ox + sw), min(size, oy + sh)
    if x1 > x0 and y1 > y0:
        canvas[y0:y1, x0:x1] = scaled[y0 - oy:y1 - oy, x0 - ox:x1 - ox]
    moved = boxes.copy()
    moved[:, [1, 3]] = boxes[:, [1, 3]] * (sw / w) + ox
    moved[:, [2, 4]] = boxes[:, [2, 4]] * (sh / h) + oy
    return canvas, clip_boxes(moved, (x0, y0, x1, y1))


def clip_boxes(boxes, window):
    """Boxes clipped to window (x0, y0, x1, y1); those mostly cut away or too thin go."""
    x0, y0, x1, y1 = window
    clipped = boxes.copy()
    clipped[:, 1] = np.clip(boxes[:, 1], x0, x1)
    clipped[:, 2] = np.clip(boxes[:, 2], y0, y1)
    clipped[:, 3] = np.clip(boxes[:, 3], x0, x1)
    clipped[:, 4] = np.clip(boxes[:, 4], y0, y1)
    area = (boxes[:, 3] - boxes[:, 1]) * (boxes[:, 4] - boxes[:, 2])
    kept_area = (clipped[:, 3] - clipped[:, 1]) * (clipped[:, 4] - clipped[:, 2])
    keep = ((kept_area >= MIN_VISIBLE * np.maximum(area, 1e-6)) &
            (clipped[:, 3] - clipped[:, 1] >= MIN_SIDE) & (clipped[:, 4] - clipped[:, 2] >= MIN_SIDE))
    return clipped[keep]


def letterboxed(image, boxes, size):
    """The image fitted whole into the square, centred: what the engine does at run time."""
    h, w = image.shape[:2]
    scale = min(size / w, size / h)
    offset = ((size - w * scale) / 2, (size - h * scale) / 2)
    return place(image, boxes, size, scale, offset)


def random_view(image, boxes, size, rng, zoom=(0.5, 1.6)):
    """The image at a random scale (relative to fitting it whole) and place."""
    h, w = image.shape[:2]
    scale = min(size / w, size / h) * rng.uniform(*zoom)
    sw, sh = w * scale, h * scale
    ox = rng.uniform(min(0, size - sw), max(0, size - sw))
    oy = rng.uniform(min(0, size - sh), max(0, size - sh))
    return place(image, boxes, size, scale, (ox, oy))


def mosaic(views, size, rng):
    """Four (image, boxes) pairs in the quadrants around a random centre."""
    cx, cy = (int(rng.uniform(0.3, 0.7) * size) for _ in range(2))
    canvas = np.full((size, size, 3), PAD, np.uint8)
    all_boxes = []
    cells = [(0, 0, cx, cy), (cx, 0, size, cy), (0, cy, cx, size), (cx, cy, size, size)]
    for (image, boxes), (x0, y0, x1, y1) in zip(views, cells):
        cw, ch = x1 - x0, y1 - y0
        h, w = image.shape[:2]
        scale = max(cw / w, ch / h) * rng.uniform(1.0, 1.5)
        sw, sh = w * scale, h * scale
        ox, oy = x0 - rng.uniform(0, sw - cw), y0 - rng.uniform(0, sh - ch)
        tile, moved = place(image, boxes, size, scale, (ox, oy))
        canvas[y0:y1, x0:x1] = tile[y0:y1, x0:x1]
        all_boxes.append(clip_boxes(moved, (x0, y0, x1, y1)))
    return canvas, np.concatenate(all_boxes) if all_boxes else np.zeros((0, 5), np.float32)


def box_free_crop(image, boxes, rng, tries=20, min_share=0.3):
    """A crop of the image that touches no box (at least min_share of each side), or None."""
    h, w = image.shape[:2]
    for _ in range(tries):
        cw = int(w * rng.uniform(min_share, 0.8))
        ch = int(h * rng.uniform(min_share, 0.8))
        x = int(rng.uniform(0, w - cw))
        y = int(rng.uniform(0, h - ch))
        if cw < 32 or ch < 32:
            return None
        overlaps = ((boxes[:, 1] < x + cw) & (boxes[:, 3] > x) &
                    (boxes[:, 2] < y + ch) & (boxes[:, 4] > y))
        if not overlaps.any():
            return image[y:y + ch, x:x + cw]
    return None


def jitter_colour(image, rng, hue=4, saturation=0.35, value=0.35):
    """Random hue shift (OpenCV units) and saturation and brightness gains."""
    hsv = cv2.cvtColor(image, cv2.COLOR_BGR2HSV).astype(np.int16)
    hsv[..., 0] = (hsv[..., 0] + int(rng.integers(-hue, hue + 1))) % 180
    hsv[..., 1] = np.clip(hsv[..., 1] * rng.uniform(1 - saturation, 1 + saturation), 0, 255)
    hsv[..., 2] = np.clip(hsv[..., 2] * rng.uniform(1 - value, 1 + value), 0, 255)
    return cv2.cvtColor(hsv.astype(np.uint8), cv2.COLOR_HSV2BGR)


def flip(image, boxes):
    w = image.shape[1]
    flipped = boxes.copy()
    flipped[:, 1], flipped[:, 3] = w - boxes[:, 3], w - boxes[:, 1]
    return image[:, ::-1].copy(), flipped
